#include "framework/core/Files.h"

#include <algorithm>
#include <cstdint>

constexpr size_t kLargestPiece = 1u << 30;  // the most one call reads or writes

DWORD ReadWhole(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size{};
    if (!SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN) || !GetFileSizeEx(file, &size))
        return GetLastError();
    if (static_cast<ULONGLONG>(size.QuadPart) >= SIZE_MAX / 2) return ERROR_NOT_ENOUGH_MEMORY;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    for (size_t total = 0; total < bytes.size();) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min(bytes.size() - total, kLargestPiece));
        if (!ReadFile(file, bytes.data() + total, wanted, &got, nullptr)) return GetLastError();
        if (got == 0) bytes.resize(total);  // it was cut meanwhile
        total += got;
    }
    return 0;
}

DWORD WriteAt(HANDLE file, ULONGLONG at, std::string_view bytes, bool end) {
    if (!SetFilePointerEx(file, LARGE_INTEGER{.QuadPart = static_cast<LONGLONG>(at)}, nullptr, FILE_BEGIN))
        return GetLastError();
    for (DWORD written = 0; !bytes.empty(); bytes.remove_prefix(written)) {
        const auto size = static_cast<DWORD>(std::min(bytes.size(), kLargestPiece));
        if (!WriteFile(file, bytes.data(), size, &written, nullptr)) return GetLastError();
        if (written == 0) return ERROR_DISK_FULL;  // it will never take the rest
    }
    return end && !SetEndOfFile(file) ? GetLastError() : 0;
}

DWORD RewriteInPlace(HANDLE file, std::string_view bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return GetLastError();
    const size_t overwritten = static_cast<size_t>(std::min<ULONGLONG>(size.QuadPart, bytes.size()));
    if (const DWORD error = WriteAt(file, overwritten, bytes.substr(overwritten))) {
        WriteAt(file, overwritten, {}, true);
        return error;
    }
    DWORD error = WriteAt(file, 0, bytes.substr(0, overwritten));
    if (error == 0) error = WriteAt(file, bytes.size(), {}, true);
    return error == 0 && !FlushFileBuffers(file) ? GetLastError() : error;
}

bool IsOpenElsewhere(const std::wstring& path) {
    const UniqueFile file = Owned(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

void EndFileTurn(HANDLE mutex) {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

UniqueFileTurn TakeFileTurn(std::wstring path, DWORD waitMilliseconds) {
    if (path.starts_with(L"\\\\?\\UNC\\")) path.erase(2, 6);
    else if (path.starts_with(L"\\\\?\\")) path.erase(0, 4);
    CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const wchar_t c : path) hash = (hash ^ c) * 1099511628211ull;
    UniqueFile mutex(CreateMutexW(nullptr, FALSE, (L"Local\\KorvaneCFG.turn." + std::to_wstring(hash)).c_str()));
    const DWORD result = mutex ? WaitForSingleObject(mutex.get(), waitMilliseconds) : WAIT_FAILED;
    return UniqueFileTurn(result == WAIT_OBJECT_0 || result == WAIT_ABANDONED ? mutex.release() : nullptr);
}
