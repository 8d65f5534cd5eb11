#include "framework/core/Files.h"

#include <algorithm>
#include <cstdint>

namespace {
// The most one call reads or writes.
constexpr size_t kLargestPiece = 1u << 30;
}  // namespace

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
