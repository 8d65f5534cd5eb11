#pragma once
// Where game.dat lies: beside the running executable, whatever the working
// directory is.
#include <string>

#include "framework/core/Paths.h"

// The executable folder followed by "game.dat".
std::wstring SettingsPathBeside(const std::wstring& executableFolder);

inline constexpr wchar_t kSettingsFileName[] = L"game.dat";

// The longest path the line reader and the line writer accept: MAX_PATH
// without its terminating NUL. Longer ones fail with I/O result code 3.
inline constexpr size_t kMaxFilePathLength = MAX_PATH - 1;
