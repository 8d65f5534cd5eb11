#pragma once
// An executable opened only to read its resources: it is mapped as data, so an
// executable of the other architecture opens as well and none of its code runs.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class ResourceImage {
public:
    // Throws std::runtime_error when the file cannot be opened.
    explicit ResourceImage(const std::wstring& path);

    // The bytes of the resource, or nothing when the executable lacks it.
    std::optional<std::vector<uint8_t>> Find(LPCWSTR type, LPCWSTR name) const;

    // How many resources of `type` the executable holds.
    int Count(LPCWSTR type) const;

private:
    struct Free {
        void operator()(HMODULE module) const { FreeLibrary(module); }
    };
    std::unique_ptr<std::remove_pointer_t<HMODULE>, Free> module_;
};
