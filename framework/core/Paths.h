#pragma once
// Paths of loaded modules and files, at any length, and the modules' resources.
#include <windows.h>

#include <string>

#include "framework/core/Handles.h"

// Full path of the given module (the running executable when null).
std::wstring ModuleFileName(HMODULE module = nullptr);

// The folder part of a path, up to and including its last path separator.
std::wstring FolderOf(const std::wstring& path);

// The full path as the platform expands it (GetFullPathNameW); the path
// itself when that fails.
std::wstring ExpandFullPath(const std::wstring& path);

// A form of the path that the file functions take at any length, also with
// up to 11 characters added to its end.
std::wstring LongPathForm(const std::wstring& path);

// The path of an open file itself (a symbolic link's target), else
// LongPathForm(path).
std::wstring FinalPath(HANDLE file, const std::wstring& path);

// Bytes of a resource of a module, the executable unless named (empty span
// when missing).
struct TResourceBytes {
    const void* data = nullptr;
    size_t size = 0;
};
TResourceBytes FindResourceBytes(const wchar_t* name, const wchar_t* type = RT_RCDATA,
                                 HMODULE module = GetModuleHandleW(nullptr));

// Loads a DLL of the system folder by its full path, never one of the same
// name beside the executable; empty when it cannot be loaded.
UniqueModule LoadSystemLibrary(const wchar_t* name);
