#pragma once
// The scans that every byte or character of game.dat passes through, written
// to look at 16 bytes at a time where the processor has SSE2 (always on
// x86-64), one at a time elsewhere.
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Number of leading bytes below 0x80.
inline size_t AsciiPrefixLength(const char* text, size_t size) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        if (_mm_movemask_epi8(block) != 0) break;
    }
#endif
    while (i < size && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i;
}

#if defined(__SSE2__)
// Whether all eight UTF-16 units of `block` are below 0x80.
inline bool IsAsciiBlock(__m128i block) {
    const __m128i highBits = _mm_set1_epi16(static_cast<short>(0xFF80));
    return _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(block, highBits), _mm_setzero_si128())) == 0xFFFF;
}
#endif

// Number of leading UTF-16 units below 0x80.
inline size_t AsciiPrefixLength(const wchar_t* text, size_t size) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= size; i += 8) {
        if (!IsAsciiBlock(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i)))) break;
    }
#endif
    while (i < size && static_cast<unsigned>(text[i]) < 0x80) ++i;
    return i;
}

// Position of the first CR or LF at or after `from`, or `size` when none.
inline size_t FindLineBreak(const wchar_t* text, size_t from, size_t size) {
    size_t i = from;
#if defined(__SSE2__)
    const __m128i carriageReturn = _mm_set1_epi16(L'\r');
    const __m128i lineFeed = _mm_set1_epi16(L'\n');
    for (; i + 8 <= size; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi16(block, carriageReturn),
                                          _mm_cmpeq_epi16(block, lineFeed));
        if (_mm_movemask_epi8(hits) != 0) break;
    }
#endif
    while (i < size && text[i] != L'\n' && text[i] != L'\r') ++i;
    return i;
}

// The same in bytes.
inline size_t FindLineBreak(const char* text, size_t from, size_t size) {
    size_t i = from;
#if defined(__SSE2__)
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    for (; i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(block, carriageReturn),
                                          _mm_cmpeq_epi8(block, lineFeed));
        if (_mm_movemask_epi8(hits) != 0) break;
    }
#endif
    while (i < size && text[i] != '\n' && text[i] != '\r') ++i;
    return i;
}

// Position of the first `c` at or after `from`, or `size` when none.
inline size_t FindCharacter(const wchar_t* text, size_t from, size_t size, wchar_t c) {
    size_t i = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
    for (; i + 8 <= size; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(block, wanted)) != 0) break;
    }
#endif
    while (i < size && text[i] != c) ++i;
    return i;
}

// The same in bytes.
inline size_t FindCharacter(const char* text, size_t from, size_t size, char c) {
    size_t i = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    for (; i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)) != 0) break;
    }
#endif
    while (i < size && text[i] != c) ++i;
    return i;
}

// Position of the first occurrence of `needle` in `text`, or npos. In bytes,
// `needle` must be plain ASCII, which is the same byte in every code page.
template <class Char>
size_t FindText(std::basic_string_view<Char> text, std::wstring_view needle) {
    if (needle.size() > text.size()) return std::wstring_view::npos;
    if (needle.empty()) return 0;
    const size_t lastStart = text.size() - needle.size();
    const auto same = [&](size_t at) {
        for (size_t i = 1; i < needle.size(); ++i)
            if (static_cast<wchar_t>(text[at + i]) != needle[i]) return false;
        return true;
    };
    for (size_t at = 0;; ++at) {
        at = FindCharacter(text.data(), at, lastStart + 1, static_cast<Char>(needle[0]));
        if (at > lastStart) return std::wstring_view::npos;
        if (same(at)) return at;
    }
}
inline size_t FindText(std::wstring_view text, std::wstring_view needle) {
    return FindText<wchar_t>(text, needle);
}
inline size_t FindText(std::string_view bytes, std::wstring_view needle) {
    return FindText<char>(bytes, needle);
}

// Whether every line break in `bytes` is CR LF: each CR has an LF right
// after it and each LF a CR right before it.
inline bool HasOnlyCrLfBreaks(std::string_view bytes) {
    const size_t size = bytes.size();
    if (size == 0) return true;
    if (bytes[0] == '\n' || bytes[size - 1] == '\r') return false;
    const char* text = bytes.data();
    size_t i = 0;
#if defined(__SSE2__)
    // Byte i is CR exactly where byte i + 1 is LF.
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    for (; i + 17 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 1));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(block, carriageReturn)) !=
            _mm_movemask_epi8(_mm_cmpeq_epi8(next, lineFeed)))
            return false;
    }
#endif
    for (; i + 1 < size; ++i) {
        if ((text[i] == '\r') != (text[i + 1] == '\n')) return false;
    }
    return true;
}

// Copies `text` to `out` one byte a unit if every unit is below 0x80; false,
// with `out` partly written, at the first unit that is not.
inline bool NarrowAscii(const wchar_t* text, size_t size, char* out) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= size; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        if (!IsAsciiBlock(block)) return false;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(block, block));
    }
#endif
    for (; i < size; ++i) {
        if (static_cast<unsigned>(text[i]) >= 0x80) return false;
        out[i] = static_cast<char>(text[i]);
    }
    return true;
}
