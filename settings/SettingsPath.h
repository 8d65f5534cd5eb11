#pragma once
// Where game.dat lies: beside the running executable, whatever the working
// directory is.
#include <windows.h>

#include <string>

// Full path of the given module (the running executable when null), at any length.
std::wstring ModuleFileName(HMODULE module = nullptr);

// The folder part of a path, up to and including its last path separator.
std::wstring FolderOf(const std::wstring& path);

// The executable folder followed by "game.dat".
std::wstring SettingsPathBeside(const std::wstring& executableFolder);

inline constexpr wchar_t kSettingsFileName[] = L"game.dat";
