#pragma once
// Paths of loaded modules, at any length.
#include <windows.h>

#include <string>

// Full path of the given module (the running executable when null).
std::wstring ModuleFileName(HMODULE module = nullptr);

// The folder part of a path, up to and including its last path separator.
std::wstring FolderOf(const std::wstring& path);
