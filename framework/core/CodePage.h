#pragma once
// Text to and from the bytes of a code page, UTF-16 included, with the
// platform's standard conversions: characters a code page cannot hold
// become its substitute.
#include <windows.h>

#include <string>
#include <string_view>

// The platform's numbers for UTF-16, which its conversions do not take.
inline constexpr UINT kUtf16LE = 1200, kUtf16BE = 1201;

inline bool IsUtf16(UINT codePage) { return codePage == kUtf16LE || codePage == kUtf16BE; }

// The unit at `at`: two bytes of UTF-16, else one byte.
inline wchar_t UnitAt(std::string_view bytes, size_t at, UINT codePage) {
    const auto byte = [&](size_t i) { return static_cast<wchar_t>(static_cast<unsigned char>(bytes[i])); };
    if (!IsUtf16(codePage)) return byte(at);
    return codePage == kUtf16BE ? byte(at) << 8 | byte(at + 1) : byte(at + 1) << 8 | byte(at);
}

std::wstring Decode(std::string_view bytes, UINT codePage);
std::string Encode(std::wstring_view text, UINT codePage);
