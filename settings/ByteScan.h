#pragma once
// The scans every byte of a large game.dat passes through, 16 bytes at a time
// where there is SSE2 (always on x86-64). The library's searches go a byte
// at a time under Wine, which would make loading and saving a large file
// take far longer than reading and writing it.
#include <algorithm>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>

// Bit i is set where byte i of the 16 at `at` is `c`.
[[gnu::always_inline]] inline unsigned MatchMask(const char* at, char c) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(c))));
}
#endif

// Where `needle` (two bytes or more) first stands at or after `from`, or npos.
inline size_t FindBytes(std::string_view bytes, std::string_view needle, size_t from) {
#if defined(__SSE2__)
    // Candidates have the needle's first and last bytes in place.
    for (const size_t last = needle.size() - 1; from + last + 16 <= bytes.size(); from += 16) {
        for (unsigned hits = MatchMask(&bytes[from], needle[0]) & MatchMask(&bytes[from + last], needle[last]); hits;
             hits &= hits - 1) {
            const size_t at = from + static_cast<size_t>(__builtin_ctz(hits));
            if (bytes.substr(at, needle.size()) == needle) return at;
        }
    }
#endif
    return bytes.find(needle, from);
}

// Whether every line break is CR LF: byte i is CR exactly where byte i + 1
// is LF, and neither end cuts a pair.
inline bool HasOnlyCrLfBreaks(std::string_view bytes) {
    if (!bytes.empty() && (bytes.front() == '\n' || bytes.back() == '\r')) return false;
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 17 <= bytes.size(); i += 16)
        if (MatchMask(&bytes[i], '\r') != MatchMask(&bytes[i + 1], '\n')) return false;
#endif
    for (; i + 1 < bytes.size(); ++i)
        if ((bytes[i] == '\r') != (bytes[i + 1] == '\n')) return false;
    return true;
}

template <class Text>
bool IsAscii(const Text& text) {
    return std::all_of(text.begin(), text.end(), [](auto c) { return static_cast<unsigned>(c) < 0x80; });
}
