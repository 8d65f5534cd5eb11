#include "tests/pe/ResourceImage.h"

#include <stdexcept>

// A plain data file, not an image resource: 32-bit Wine refuses to map a
// 64-bit exe as an image of any kind (error 193, bad exe format).
ResourceImage::ResourceImage(const std::wstring& path)
    : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    if (!module_)
        throw std::runtime_error("LoadLibraryExW failed with error " + std::to_string(GetLastError()));
}

std::optional<std::vector<uint8_t>> ResourceImage::Find(LPCWSTR type, LPCWSTR name) const {
    HRSRC info = FindResourceW(module_.get(), name, type);
    if (!info)
        return std::nullopt;
    HGLOBAL loaded = LoadResource(module_.get(), info);
    const auto* data = static_cast<const uint8_t*>(LockResource(loaded));
    if (!data)
        return std::nullopt;
    return std::vector<uint8_t>(data, data + SizeofResource(module_.get(), info));
}

namespace {
// A callback of Windows' own calling convention (stdcall in 32 bits, which a
// lambda cannot convert to).
BOOL CALLBACK CountResource(HMODULE, LPCWSTR, LPWSTR, LONG_PTR counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}
}  // namespace

int ResourceImage::Count(LPCWSTR type) const {
    int count = 0;
    EnumResourceNamesW(module_.get(), type, CountResource, reinterpret_cast<LONG_PTR>(&count));
    return count;
}
