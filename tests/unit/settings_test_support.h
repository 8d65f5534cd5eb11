#pragma once
// Helpers shared by the settings tests: loading and saving byte strings,
// scratch folders, raw bytes in and out, and files held open.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingsFormat.h"

namespace settings_test {

inline TLoadedValues LoadSettings(std::string_view bytes, UINT codePage) { return LoadedValues(bytes, codePage); }

// A save's bytes, joined.
inline std::string SaveSettings(std::string_view bytes, UINT codePage, const TWindowValues& values) {
    std::string saved;
    WriteSavedBytes(bytes, codePage, values, [&](std::string_view piece) { saved += piece; });
    return saved;
}

// Removes a folder and everything in it, read-only and hidden files too.
inline void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// A new, empty folder in the temp folder, removed again with its content.
class TTempFolder {
public:
    explicit TTempFolder(const wchar_t* base = nullptr) {
        static LONG counter = 0;
        std::wstring parent = base ? std::wstring(base) : TempRoot();
        if (!parent.empty() && parent.back() != L'\\') parent += L'\\';
        path_ = parent + L"kvsettings-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(InterlockedIncrement(&counter)) + L"-" +
                std::to_wstring(GetTickCount64());
        created_ = CreateDirectoryW(path_.c_str(), nullptr) != 0;
    }
    ~TTempFolder() { RemoveTree(path_); }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    bool Created() const { return created_; }
    const std::wstring& Path() const { return path_; }
    std::wstring File(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

    // Names of everything in the folder, sorted.
    std::vector<std::wstring> Entries() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    static std::wstring TempRoot() {
        wchar_t buffer[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
        return std::wstring(buffer, length);
    }

    std::wstring path_;
    bool created_ = false;
};

inline bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Writes the bytes with plain Win32 calls, past the code under test.
inline void WriteBytes(const std::wstring& path, std::string_view bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot create test file, error " << GetLastError();
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == bytes.size());
}

// Reads the whole file while sharing everything, so that it never gets in
// the way of the code under test. Sets `ok` to false when it cannot open.
inline std::string ReadBytes(const std::wstring& path, bool* ok = nullptr) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (ok) *ok = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[64 * 1024];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

// Holds a file open with the given access and sharing while it lives.
class THeldFile {
public:
    THeldFile(const std::wstring& path, DWORD access, DWORD share) {
        handle_ = CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
        error_ = handle_ == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    }
    ~THeldFile() { Release(); }
    THeldFile(const THeldFile&) = delete;
    THeldFile& operator=(const THeldFile&) = delete;
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    DWORD Error() const { return error_; }
    HANDLE Handle() const { return handle_; }
    void Release() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
    DWORD error_;
};

}  // namespace settings_test
