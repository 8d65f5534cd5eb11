#pragma once
// Paths of loaded modules and files, at any length.
#include <windows.h>

#include <string>

// Full path of the given module (the running executable when null).
std::wstring ModuleFileName(HMODULE module = nullptr);

// The folder part of a path, up to and including its last path separator.
std::wstring FolderOf(const std::wstring& path);

// The full path as the platform expands it (GetFullPathNameW); the path
// itself when that fails.
std::wstring ExpandFullPath(const std::wstring& path);
