#include "framework/core/Paths.h"

#include <vector>

#include "framework/core/Handles.h"

std::wstring ModuleFileName(HMODULE module) {
    // GetModuleFileNameW truncates silently: grow the buffer until the path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size() - 1) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

UniqueModule LoadSystemLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return UniqueModule();
    const std::wstring path = std::wstring(folder, length) + L'\\' + name;
    return UniqueModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

std::wstring FolderOf(const std::wstring& path) {
    const auto separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring ExpandFullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return path;
        if (length < full.size()) return full.substr(0, length);
        full.resize(length);
    }
}

std::wstring LongPathForm(const std::wstring& path) {
    if (path.size() + 11 < MAX_PATH || path.starts_with(L"\\\\?\\")) return path;
    const std::wstring full = ExpandFullPath(path);
    return full.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

std::wstring FinalPath(const std::wstring& path) {
    // Opened only to learn where a link points: no access, every sharing.
    const UniqueFile file = Owned(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
    std::wstring final(MAX_PATH, L'\0');
    DWORD length = file ? GetFinalPathNameByHandleW(file.get(), final.data(), MAX_PATH, 0) : 0;
    if (length >= MAX_PATH) {
        final.resize(length);
        length = GetFinalPathNameByHandleW(file.get(), final.data(), length, 0);
    }
    return length == 0 || length >= final.size() ? LongPathForm(path) : final.substr(0, length);
}

TResourceBytes FindResourceBytes(const wchar_t* name, const wchar_t* type, HMODULE module) {
    HRSRC info = FindResourceW(module, name, type);
    HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
    if (!loaded) return {};
    return TResourceBytes{LockResource(loaded), SizeofResource(module, info)};
}
