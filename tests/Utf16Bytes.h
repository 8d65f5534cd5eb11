#pragma once
// Text as UTF-16 bytes in either byte order, the way another tool would have
// written a game.dat: test files are built from these.
#include <string>
#include <string_view>

// The code units of `text`, without a byte order mark.
inline std::string Utf16Bytes(std::wstring_view text, bool bigEndian) {
    std::string bytes;
    for (wchar_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// A whole UTF-16 file: the byte order mark, then `text`.
inline std::string Utf16(std::wstring_view text, bool bigEndian = false) {
    return (bigEndian ? "\xFE\xFF" : "\xFF\xFE") + Utf16Bytes(text, bigEndian);
}
