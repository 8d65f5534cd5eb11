#pragma once
// Paths of loaded modules and files, at any length; the modules' resources and functions.
#include <windows.h>

#include <string>

#include "framework/core/Handles.h"

// Full path of the given module (the running executable when null).
std::wstring ModuleFileName(HMODULE module = nullptr);

// A DLL of the system folder by its full path, the DLLs it needs looked for
// there first: a game folder holds many DLLs. Null when missing.
UniqueModule LoadSystemLibrary(const wchar_t* name);
// A function of a module (KERNEL32 unless named) that older systems may lack; null where missing.
template <class F>
F ProcAddress(const char* name, HMODULE module = GetModuleHandleW(L"kernel32.dll")) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(module ? GetProcAddress(module, name) : nullptr));
}

// The folder part of a path, up to and including its last path separator.
std::wstring FolderOf(const std::wstring& path);

// The full path as the platform expands it (GetFullPathNameW); the path
// itself when that fails.
std::wstring ExpandFullPath(const std::wstring& path);

// A form of the path that the file functions take at any length, also with
// up to 11 characters added to its end.
std::wstring LongPathForm(const std::wstring& path);

// The path of the file that `path` names itself (a symbolic link's target),
// else LongPathForm(path).
std::wstring FinalPath(const std::wstring& path);

// Bytes of a resource of a module, the executable unless named (empty span
// when missing).
struct TResourceBytes {
    const void* data = nullptr;
    size_t size = 0;
};
TResourceBytes FindResourceBytes(const wchar_t* name, const wchar_t* type = RT_RCDATA,
                                 HMODULE module = GetModuleHandleW(nullptr));
