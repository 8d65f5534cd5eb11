#pragma once
// Whole reads and writes of open files, each giving the system's code of a
// failure, else 0.
#include <windows.h>

#include <string>
#include <string_view>

// The whole of an open file that no one else may write, from its start.
DWORD ReadWhole(HANDLE file, std::string& bytes);

// Writes all of `bytes` at offset `at`, then ends the file after them when
// `end`. A write that takes nothing fails as a full disk would.
DWORD WriteAt(HANDLE file, ULONGLONG at, std::string_view bytes, bool end = false);
