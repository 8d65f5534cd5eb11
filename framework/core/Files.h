#pragma once
// Whole reads and writes of open files, each giving the system's code of a
// failure, else 0, and turns that processes take on a file.
#include <windows.h>

#include <string>
#include <string_view>

#include "framework/core/Handles.h"

// The whole of an open file that no one else may write, from its start.
DWORD ReadWhole(HANDLE file, std::string& bytes);

// Writes all of `bytes` at offset `at`, then ends the file after them when
// `end`. A write that takes nothing fails as a full disk would.
DWORD WriteAt(HANDLE file, ULONGLONG at, std::string_view bytes, bool end = false);

// Writes `bytes` over the open file from its start, ends the file after them
// and puts it on the disk, as a plain rewrite does. Where they are longer
// than the file, their part past its end is written first: a disk without
// room for it fails the rewrite before an old byte is overwritten, and the
// file is cut back to its old end.
DWORD RewriteInPlace(HANDLE file, std::string_view bytes);

// Whether another process has the file open, in any way: then Windows (and
// Wine) refuse to replace it.
bool IsOpenElsewhere(const std::wstring& path);

// A turn on a file among all processes of the program: a mutex named after
// the file's path (without the long-path prefix, in capitals, hashed, for
// names are short and have no backslashes). A process that ends while it
// has the turn passes it on. Null when no turn came within the wait.
void EndFileTurn(HANDLE mutex);
using UniqueFileTurn = UniqueHandle<HANDLE, EndFileTurn>;
UniqueFileTurn TakeFileTurn(std::wstring path, DWORD waitMilliseconds);
