#include "settings/ReplacementFile.h"

#include <algorithm>

#include "framework/core/Paths.h"
#include "framework/errors/Exceptions.h"

namespace {
constexpr wchar_t kTempSuffix[] = L".saving";
constexpr ULONGLONG kMoveRetryMilliseconds = 1000;
constexpr DWORD kLongestRetryPause = 50;

bool IsReadOnly(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Codes that mean someone else holds the file for a moment.
bool IsTransient(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
           error == ERROR_LOCK_VIOLATION;
}

void RemoveFile(const std::wstring& path) {
    // A read-only leftover has to be made writable before it can go.
    if (!DeleteFileW(path.c_str())) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}
}  // namespace

std::wstring LongPathForm(const std::wstring& path) {
    if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
    const std::wstring full = ExpandFullPath(path);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring SavingTempPath(const std::wstring& path) { return LongPathForm(path + kTempSuffix); }

TReplacementFile::TReplacementFile(std::wstring targetPath)
    : targetPath_(LongPathForm(targetPath)), tempPath_(SavingTempPath(targetPath)) {}

DWORD TReplacementFile::Create(DWORD attributes) {
    Discard();
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    HANDLE handle = CreateFileW(tempPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                attributes | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError();
    file_ = TFileHandle(handle);
    exists_ = true;
    return 0;
}

DWORD TReplacementFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD size = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file_.Get(), bytes.data(), size, &written, nullptr)) return GetLastError();
        // A write that takes nothing will never take the rest.
        if (written == 0) return ERROR_DISK_FULL;
        bytes.remove_prefix(written);
    }
    return 0;
}

DWORD TReplacementFile::FlushAndClose() {
    if (!FlushFileBuffers(file_.Get())) return GetLastError();
    return file_.Close();
}

DWORD TReplacementFile::MoveIntoPlace(bool replaceExisting) {
    // Wine replaces a read-only file without complaint; Windows would refuse.
    if (replaceExisting && IsReadOnly(targetPath_)) return ERROR_ACCESS_DENIED;
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
    const ULONGLONG start = GetTickCount64();
    DWORD pause = 1;
    for (;;) {
        if (MoveFileExW(tempPath_.c_str(), targetPath_.c_str(), flags)) {
            exists_ = false;
            return 0;
        }
        const DWORD error = GetLastError();
        if (!IsTransient(error) || IsReadOnly(targetPath_) ||
            GetTickCount64() - start >= kMoveRetryMilliseconds)
            return error;
        Sleep(pause);
        pause = std::min(pause * 2, kLongestRetryPause);
    }
}

void TReplacementFile::Discard() {
    file_.CloseQuietly();
    if (exists_) RemoveFile(tempPath_);
    exists_ = false;
}

void CleanUpInterruptedSave(const std::wstring& settingsPath) {
    const std::wstring temp = SavingTempPath(settingsPath);
    const DWORD attributes = GetFileAttributesW(temp.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    RemoveFile(temp);
}
