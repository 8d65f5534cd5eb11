#include "tests/pe/ResourceImage.h"

#include <stdexcept>

ResourceImage::ResourceImage(const std::wstring& path)
    : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
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

int ResourceImage::Count(LPCWSTR type) const {
    int count = 0;
    EnumResourceNamesW(
        module_.get(), type,
        [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR counter) -> BOOL {
            ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&count));
    return count;
}
