#include "settings/TextDecoder.h"

#include "settings/CodePageText.h"

namespace {
bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

bool IsLineBreakByte(char c) { return c == '\r' || c == '\n'; }
}  // namespace

void TTextDecoder::Feed(std::string_view bytes, std::wstring& out) {
    if (!encoding_) {
        // A file shorter than the longest mark can still hold a shorter one:
        // wait for more bytes or for the end.
        pending_.append(bytes);
        if (pending_.size() < kLongestMark) return;
        pending_.erase(0, DetectEncoding(pending_));
        bytes = {};
    }
    // Most pieces start a fresh line: decode them where they lie.
    std::string_view data = bytes;
    size_t from = 0;
    if (!pending_.empty()) {
        from = scanned_;
        pending_.append(bytes);
        data = pending_;
    }
    const size_t length = CompleteLinesLength(data, from);
    if (length == 0) {
        if (data.data() != pending_.data()) pending_.assign(data);
        scanned_ = pending_.size() - pending_.size() % UnitSize();
        return;
    }
    Decode(data.substr(0, length), out);
    KeepUnfinishedLine(data.substr(length));
}

void TTextDecoder::Finish(std::wstring& out) {
    if (!encoding_) pending_.erase(0, DetectEncoding(pending_));
    Decode(pending_, out);
    pending_.clear();
    scanned_ = 0;
}

// The byte order mark at the start of `head` and the encoding it chooses;
// without one, the ANSI code page and a length of 0.
TTextDecoder::Mark TTextDecoder::MarkOf(std::string_view head) {
    if (StartsWith(head, "\xEF\xBB\xBF")) return {TextEncoding::Utf8, 3};
    if (StartsWith(head, "\xFF\xFE")) return {TextEncoding::Utf16LE, 2};
    if (StartsWith(head, "\xFE\xFF")) return {TextEncoding::Utf16BE, 2};
    return {TextEncoding::AnsiCodePage, 0};
}

// Chooses the encoding by the mark at the start of `head`, if any; returns
// the mark's length.
size_t TTextDecoder::DetectEncoding(std::string_view head) {
    scanned_ = 0;
    const Mark mark = MarkOf(head);
    encoding_ = mark.encoding;
    return mark.length;
}

size_t TTextDecoder::UnitSize() const {
    return encoding_ == TextEncoding::Utf16LE || encoding_ == TextEncoding::Utf16BE ? 2 : 1;
}

// The length of `bytes` up to and including its last line break, 0 when it
// has none. Searches backwards, and not below `from`, so that a very long
// line is not searched again with every piece.
size_t TTextDecoder::CompleteLinesLength(std::string_view bytes, size_t from) const {
    const size_t unit = UnitSize();
    const size_t end = bytes.size() - bytes.size() % unit;
    // In UTF-16 the significant byte of a unit comes first in big-endian.
    const size_t lowByte = encoding_ == TextEncoding::Utf16BE ? 1 : 0;
    for (size_t at = end; at > from; at -= unit) {
        const size_t unitStart = at - unit;
        if (!IsLineBreakByte(bytes[unitStart + lowByte])) continue;
        if (unit == 2 && bytes[unitStart + 1 - lowByte] != '\0') continue;
        return at;
    }
    return 0;
}

// Keeps the bytes after the last line break for the next piece. They hold
// no line break, so later searches can start after them.
void TTextDecoder::KeepUnfinishedLine(std::string_view rest) {
    std::string kept(rest);
    pending_.swap(kept);
    scanned_ = pending_.size() - pending_.size() % UnitSize();
}

void TTextDecoder::Decode(std::string_view bytes, std::wstring& out) const {
    switch (*encoding_) {
        case TextEncoding::AnsiCodePage:
            AppendDecoded(bytes, ansiCodePage_, out);
            break;
        case TextEncoding::Utf8:
            AppendDecoded(bytes, CP_UTF8, out);
            break;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: {
            const bool bigEndian = *encoding_ == TextEncoding::Utf16BE;
            const size_t units = bytes.size() / 2;
            const size_t start = out.size();
            out.resize(start + units);
            for (size_t i = 0; i < units; ++i) {
                const auto first = static_cast<unsigned char>(bytes[2 * i]);
                const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
                out[start + i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second
                                                                : (second << 8) | first);
            }
            // A file cut in the middle of a unit: keep a trace of the odd byte.
            if (bytes.size() % 2 != 0) out.push_back(L'\xFFFD');
            break;
        }
    }
}
