#pragma once
// Conversions between text and the bytes of a code page, with the platform's
// standard conversions and no special flags: characters a code page cannot
// hold become its substitute character.
//
// Runs of ASCII are converted directly, without the platform: every ANSI code
// page and UTF-8 map the bytes 00 to 7F to the characters U+0000 to U+007F
// and back, and such a byte is always a character of its own there unless a
// lead byte comes right before it. Everything else is handed to the platform
// in batches of whole lines, cut only after a CR or an LF (never part of
// another character), so that the result is the same as converting the whole
// text at once.
#include <windows.h>

#include <string>
#include <string_view>

// Appends `bytes`, decoded from `codePage`, to `out`. `bytes` must not end
// inside a character.
void AppendDecoded(std::string_view bytes, UINT codePage, std::wstring& out);

// Appends `text`, encoded in `codePage`, to `out`.
void AppendEncoded(std::wstring_view text, UINT codePage, std::string& out);
