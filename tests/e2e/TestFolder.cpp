#include "tests/e2e/TestFolder.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <vector>

#include "tests/e2e/AppProcess.h"

namespace e2e {

namespace {

std::wstring Widen(std::string_view text) {
    if (text.empty()) return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::wstring WithBackslash(std::wstring path) {
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    return path;
}

std::wstring RootFolder() {
    wchar_t buffer[MAX_PATH + 1];
    DWORD length = GetEnvironmentVariableW(L"KV_E2E_ROOT", buffer, MAX_PATH + 1);
    if (length > 0 && length <= MAX_PATH) {
        return WithBackslash(ToWindowsPath(std::wstring(buffer, length)));
    }
    length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) throw std::runtime_error("GetTempPathW failed");
    return WithBackslash(std::wstring(buffer, length));
}

// Removes a folder and everything below it; read-only files included.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = folder + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + L"\\");
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::wstring ToWindowsPath(std::string_view path) { return ToWindowsPath(Widen(path)); }

std::wstring ToWindowsPath(std::wstring wide) {
    if (!wide.empty() && wide.front() == L'/') {
        for (wchar_t& c : wide)
            if (c == L'/') c = L'\\';
        return L"Z:" + wide;
    }
    return wide;
}

std::wstring BuiltExePath() { return ToWindowsPath(KV_EXE_PATH); }

TestFolder::TestFolder() {
    static std::atomic<unsigned> counter{0};
    std::wstring root = RootFolder();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring candidate = root + L"kv-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(counter++);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate + L"\\";
            return;
        }
    }
    throw std::runtime_error("cannot create a test folder");
}

TestFolder::~TestFolder() {
    // A process that just ended may still hold its exe for a moment.
    for (int attempt = 0; attempt < 20; ++attempt) {
        RemoveTree(path_);
        if (GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES) return;
        Sleep(50);
    }
}

std::wstring TestFolder::CopyExe(std::wstring_view name) const {
    std::wstring target = PathOf(name);
    if (!CopyFileW(BuiltExePath().c_str(), target.c_str(), FALSE))
        throw std::runtime_error("cannot copy the configurator into the test folder");
    return target;
}

std::wstring TestFolder::Subfolder(std::wstring_view name) const {
    std::wstring folder = PathOf(name);
    CreateDirectoryW(folder.c_str(), nullptr);
    return WithBackslash(folder);
}

void TestFolder::WriteBytes(std::wstring_view name, std::string_view bytes) const { WriteFileBytes(PathOf(name), bytes); }

std::optional<std::string> TestFolder::ReadBytes(std::wstring_view name) const { return ReadFileBytes(PathOf(name)); }

bool TestFolder::Exists(std::wstring_view name) const {
    return GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<FILETIME> TestFolder::LastWriteTime(std::wstring_view name) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(PathOf(name).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return data.ftLastWriteTime;
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder, bool filesOnly) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (filesOnly && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        names.push_back(name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void WriteFileBytes(const std::wstring& path, std::string_view bytes) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw std::runtime_error("cannot create a test file");
    DWORD written = 0;
    if (!bytes.empty() && (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                           written != bytes.size()))
        throw std::runtime_error("cannot write a test file");
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char block[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), block, sizeof block, &got, nullptr) && got > 0) bytes.append(block, got);
    return bytes;
}

}  // namespace e2e
