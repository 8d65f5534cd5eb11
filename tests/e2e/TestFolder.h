#pragma once
// A scratch folder of its own for each test, holding a copy of the
// configurator and its settings file, removed again when the test ends.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// Converts a path as the build knows it into one Windows accepts: a Linux
// path /a/b is reachable under Wine as Z:\a\b; a Windows path is kept.
std::wstring ToWindowsPath(std::string_view path);
std::wstring ToWindowsPath(std::wstring path);

// The configurator built for this test run.
std::wstring BuiltExePath();

class TestFolder {
public:
    // A new, empty folder below KV_E2E_ROOT when that is set (for special file
    // systems), else below the temporary folder.
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The folder's full path, ending in a backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring PathOf(std::wstring_view name) const { return path_ + std::wstring(name); }

    // Copies the built configurator into the folder under the given name and
    // returns the copy's full path.
    std::wstring CopyExe(std::wstring_view name = L"KorvaneCFG.exe") const;
    // A subfolder, created when missing; returns its path with a final backslash.
    std::wstring Subfolder(std::wstring_view name) const;

    void WriteBytes(std::wstring_view name, std::string_view bytes) const;
    std::optional<std::string> ReadBytes(std::wstring_view name) const;
    bool Exists(std::wstring_view name) const;
    std::optional<FILETIME> LastWriteTime(std::wstring_view name) const;

private:
    std::wstring path_;
};

// The names in a folder (its path ending in a backslash), sorted, without
// "." and ".."; only those of files when `filesOnly`.
std::vector<std::wstring> FolderEntries(const std::wstring& folder, bool filesOnly = false);
// Names of the files in a folder (no subfolders), sorted.
inline std::vector<std::wstring> FilesIn(const std::wstring& folder) { return FolderEntries(folder, true); }

// Whole-file helpers on full paths.
void WriteFileBytes(const std::wstring& path, std::string_view bytes);
std::optional<std::string> ReadFileBytes(const std::wstring& path);

}  // namespace e2e
