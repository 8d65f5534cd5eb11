#pragma once
// Creates a file from a list of lines, as game.dat is created with its
// default lines: each line followed by CR LF, in the ANSI code page, after a
// UTF-8 byte order mark when that code page is UTF-8.
//
// The content is written to a temporary file that nobody else may open, put
// on the disk, and only then moved to the path; the move never replaces a
// file that has appeared there meanwhile. A failed creation therefore leaves
// no file, partial or whole.
#include <string>
#include <vector>

// Raises EFCreateError (naming `path`) when the file cannot be created or put
// in place, EWriteError when writing it fails.
void WriteAllLines(const std::wstring& path, const std::vector<std::wstring>& lines);
