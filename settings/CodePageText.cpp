#include "settings/CodePageText.h"

#include "settings/TextScan.h"

#include <climits>
#include <stdexcept>

namespace {
// The platform converts at least this many characters at a time.
constexpr size_t kPlatformBatch = 64 * 1024;

// Enough bytes for one UTF-16 unit in any code page (UTF-8 needs 3, GB18030 4).
constexpr size_t kMaxBytesPerUnit = 4;

// The conversion functions count in int.
int CheckedLength(size_t length) {
    if (length > INT_MAX / kMaxBytesPerUnit)
        throw std::length_error("text too long for a code page conversion");
    return static_cast<int>(length);
}

// Where a batch for the platform that starts at `start` ends: at least
// kPlatformBatch characters on, just after the next line break, or at the end.
template <class Char>
size_t PlatformBatchEnd(const Char* text, size_t start, size_t size) {
    size_t end = start + kPlatformBatch;
    if (end >= size) return size;
    while (end < size && text[end - 1] != '\n' && text[end - 1] != '\r') ++end;
    return end;
}

void DecodeWithPlatform(const char* bytes, size_t size, UINT codePage, std::wstring& out) {
    const int length = CheckedLength(size);
    // No code page yields more UTF-16 units than it had bytes.
    const size_t start = out.size();
    out.resize(start + size);
    const int written = MultiByteToWideChar(codePage, 0, bytes, length, out.data() + start, length);
    if (written <= 0) {
        out.resize(start);
        throw std::runtime_error("MultiByteToWideChar failed");
    }
    out.resize(start + static_cast<size_t>(written));
}

void EncodeWithPlatform(const wchar_t* text, size_t size, UINT codePage, std::string& out) {
    const int length = CheckedLength(size);
    const size_t start = out.size();
    const size_t room = size * kMaxBytesPerUnit;
    out.resize(start + room);
    const int written = WideCharToMultiByte(codePage, 0, text, length, out.data() + start,
                                            static_cast<int>(room), nullptr, nullptr);
    if (written <= 0) {
        out.resize(start);
        throw std::runtime_error("WideCharToMultiByte failed");
    }
    out.resize(start + static_cast<size_t>(written));
}

// Walks `text` in ASCII runs, copied by `copyAscii`, and platform batches,
// converted by `convert`.
template <class Char, class CopyAscii, class Convert>
void ConvertInRuns(const Char* text, size_t size, CopyAscii copyAscii, Convert convert) {
    size_t pos = 0;
    while (pos < size) {
        const size_t ascii = AsciiPrefixLength(text + pos, size - pos);
        copyAscii(text + pos, ascii);
        pos += ascii;
        if (pos == size) break;
        const size_t end = PlatformBatchEnd(text, pos, size);
        convert(text + pos, end - pos);
        pos = end;
    }
}
}  // namespace

void AppendDecoded(std::string_view bytes, UINT codePage, std::wstring& out) {
    ConvertInRuns(
        bytes.data(), bytes.size(),
        [&](const char* run, size_t size) {
            const size_t start = out.size();
            out.resize(start + size);
            wchar_t* target = out.data() + start;
            for (size_t i = 0; i < size; ++i) target[i] = static_cast<wchar_t>(run[i]);
        },
        [&](const char* run, size_t size) { DecodeWithPlatform(run, size, codePage, out); });
}

void AppendEncoded(std::wstring_view text, UINT codePage, std::string& out) {
    ConvertInRuns(
        text.data(), text.size(),
        [&](const wchar_t* run, size_t size) {
            const size_t start = out.size();
            out.resize(start + size);
            NarrowAscii(run, size, out.data() + start);
        },
        [&](const wchar_t* run, size_t size) { EncodeWithPlatform(run, size, codePage, out); });
}
