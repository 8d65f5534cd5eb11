#include "settings/SettingsText.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// The scans every byte of a large file passes through go 16 bytes at a time
// where there is SSE2 (always on x86-64): the library's go a byte at a time
// under Wine, which would make loading and saving take far longer than
// reading and writing the file.
#if defined(__SSE2__)
// Bit i is set where byte i of the 16 at `at` is `c`.
[[gnu::always_inline]] inline unsigned MatchMask(const char* at, char c) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(c))));
}
#endif

// Where `needle` (two bytes or more) first stands at or after `from`, or npos.
size_t FindBytes(std::string_view bytes, std::string_view needle, size_t from) {
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
bool HasOnlyCrLfBreaks(std::string_view bytes) {
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

constexpr UINT kUtf16LE = 1200, kUtf16BE = 1201;  // the platform's numbers for them
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// Every key text begins with it, and it is ASCII, which stands for itself
// in every code page: only lines whose bytes hold it need decoding.
constexpr std::wstring_view kKeyPrefix = L"PROTECTION_";
// A save's pieces reach the file in blocks of about this size: fewer writes.
constexpr size_t kWriteBlock = 256 * 1024;

bool IsUtf16(UINT codePage) { return codePage == kUtf16LE || codePage == kUtf16BE; }
size_t UnitSize(UINT codePage) { return IsUtf16(codePage) ? 2 : 1; }

// How a file's text is written: its encoding and the mark before it.
struct TForm {
    UINT codePage;
    std::string_view mark;
};

TForm FormOf(std::string_view bytes, UINT ansiCodePage) {
    for (const TForm form : {TForm{CP_UTF8, kUtf8Mark}, {kUtf16LE, "\xFF\xFE"}, {kUtf16BE, "\xFE\xFF"}})
        if (bytes.starts_with(form.mark)) return form;
    return {ansiCodePage, {}};
}

int PlatformLength(size_t length) {
    if (length > INT_MAX / 4) throw std::length_error("line too long for a code page conversion");
    return static_cast<int>(length);
}

wchar_t UnitAt(std::string_view bytes, size_t at, UINT codePage) {
    const size_t high = codePage == kUtf16BE ? 0 : 1;
    return static_cast<wchar_t>(static_cast<unsigned char>(bytes[at + high]) << 8 |
                                static_cast<unsigned char>(bytes[at + 1 - high]));
}

std::wstring Decode(std::string_view bytes, UINT codePage) {
    std::wstring text(bytes.size(), L'\0');  // no code page gives more units than bytes
    if (IsUtf16(codePage)) {
        text.resize(bytes.size() / 2);
        for (size_t i = 0; i < text.size(); ++i) text[i] = UnitAt(bytes, 2 * i, codePage);
    } else if (IsAscii(bytes)) {  // itself in every ANSI code page and in UTF-8
        std::copy(bytes.begin(), bytes.end(), text.begin());
    } else {
        const int length = PlatformLength(bytes.size());
        text.resize(MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), length));
    }
    return text;
}

std::string Encode(std::wstring_view text, UINT codePage) {
    std::string bytes(4 * text.size(), '\0');  // room for a unit in any code page
    if (IsUtf16(codePage)) {
        bytes.resize(2 * text.size());
        const size_t high = codePage == kUtf16BE ? 0 : 1;
        for (size_t i = 0; i < text.size(); ++i) {
            bytes[2 * i + high] = static_cast<char>(text[i] >> 8);
            bytes[2 * i + 1 - high] = static_cast<char>(text[i]);
        }
    } else if (IsAscii(text)) {
        bytes.assign(text.begin(), text.end());
    } else {
        bytes.resize(WideCharToMultiByte(codePage, 0, text.data(), PlatformLength(text.size()), bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, nullptr));
    }
    return bytes;
}

// The line break the unit at `at` is, '\r' or '\n', or 0 for none.
char BreakAt(std::string_view units, size_t at, UINT codePage) {
    const wchar_t unit = IsUtf16(codePage) ? UnitAt(units, at, codePage) : static_cast<unsigned char>(units[at]);
    return unit == L'\r' || unit == L'\n' ? static_cast<char>(unit) : 0;
}

// A line: its units [start, end), and where the next line begins.
struct TLine {
    size_t start, end, next;
};

TLine LineFrom(std::string_view units, size_t start, UINT codePage) {
    const size_t unit = UnitSize(codePage);
    size_t end = start;
    while (end < units.size() && !BreakAt(units, end, codePage)) end += unit;
    if (end == units.size()) return {start, end, end};
    const bool crLf = BreakAt(units, end, codePage) == '\r' && end + unit < units.size() &&
                      BreakAt(units, end + unit, codePage) == '\n';
    return {start, end, end + (crLf ? 2 : 1) * unit};
}

// Where the line that holds `at` begins; `lineStart` begins one before it.
size_t StartOfLine(std::string_view units, size_t at, size_t lineStart, UINT codePage) {
    while (at > lineStart && !BreakAt(units, at - UnitSize(codePage), codePage)) at -= UnitSize(codePage);
    return at;
}

struct TKeyLine {
    TLine line;
    std::wstring text;
};

std::vector<TKeyLine> KeyLines(std::string_view units, UINT codePage) {
    std::vector<TKeyLine> found;
    const std::string prefix = Encode(kKeyPrefix, codePage);
    for (size_t lineStart = 0, from = 0, hit; (hit = FindBytes(units, prefix, from)) != std::string_view::npos;) {
        from = hit + 1;
        if (hit % UnitSize(codePage) != 0) continue;  // across two UTF-16 units
        const TLine line = LineFrom(units, StartOfLine(units, hit, lineStart, codePage), codePage);
        std::wstring text = Decode(units.substr(line.start, line.end - line.start), codePage);
        if (std::any_of(kSettingsKeys.begin(), kSettingsKeys.end(),
                        [&](const TSettingsKey& key) { return text.find(key.keyText) != std::wstring::npos; }))
            found.push_back({line, std::move(text)});
        lineStart = from = line.next;
    }
    return found;
}

std::optional<std::wstring> ValueIn(std::wstring_view line, const TSettingsKey& key) {
    const std::wstring_view wanted = key.checkedText.empty() ? key.keyText : key.checkedText;
    const size_t at = line.find(wanted);
    if (at == std::wstring_view::npos) return std::nullopt;
    if (!key.checkedText.empty()) return L"1";
    const std::wstring_view value = line.substr(at + wanted.size());
    return std::wstring(value.substr(0, value.find(L'\0')));
}

std::wstring RewrittenKeyLine(std::wstring_view line, const TWindowValues& values) {
    for (size_t row = 0; row < kKeyCount; ++row) {
        const std::wstring_view key = kSettingsKeys[row].keyText;
        if (line.find(key) != std::wstring_view::npos) return std::wstring(key) + (values[row].empty() ? L"0" : values[row]);
    }
    return std::wstring(line);
}

// Writes a run of lines in one form into `sink`, or without a sink only
// finds out whether it can. When `exact`, a character that would turn into
// a substitute makes it fail.
class TSaveWriter {
public:
    TSaveWriter(std::string_view units, UINT codePage, const std::vector<TKeyLine>& keyLines, const TForm& to,
                bool exact)
        : units_(units), codePage_(codePage), keyLines_(keyLines), to_(to), exact_(exact),
          lineBreak_(Encode(L"\r\n", to.codePage)) {}

    bool Write(const TWindowValues& values, const TByteSink* sink) {
        sink_ = sink;
        size_t pos = 0;
        for (const TKeyLine& key : keyLines_) {
            if (!PutOtherLines(pos, key.line.start) || !PutText(RewrittenKeyLine(key.text, values))) return false;
            pos = key.line.next;
        }
        return PutOtherLines(pos, units_.size());
    }

private:
    bool SameEncoding() const { return to_.codePage == codePage_; }

    void Put(std::string_view bytes) {
        if (sink_ && !bytes.empty()) (*sink_)(bytes);
    }

    bool PutText(std::wstring_view text) {
        const std::string bytes = Encode(text, to_.codePage);
        if (exact_ && Decode(bytes, to_.codePage) != text) return false;
        Put(bytes);
        Put(lineBreak_);
        return true;
    }

    // The lines without a key text in [from, to): byte for byte in the
    // file's own encoding, in one piece where they already end in CR LF.
    bool PutOtherLines(size_t from, size_t to) {
        if (SameEncoding() && !sink_) return true;  // they always can be
        const std::string_view run = units_.substr(from, to - from);
        if (SameEncoding() && UnitSize(codePage_) == 1 && HasOnlyCrLfBreaks(run)) {
            Put(run);
            if (!run.empty() && run.back() != '\n') Put(lineBreak_);  // the file's last line
            return true;
        }
        for (TLine line{from, from, from}; line.next < to;) {
            line = LineFrom(units_, line.next, codePage_);
            const std::string_view bytes = units_.substr(line.start, line.end - line.start);
            if (SameEncoding()) {
                Put(bytes);
                Put(lineBreak_);
                continue;
            }
            const std::wstring text = Decode(bytes, codePage_);
            if (Encode(text, codePage_) != bytes || !PutText(text)) return false;
        }
        return true;
    }

    std::string_view units_;
    UINT codePage_;
    const std::vector<TKeyLine>& keyLines_;
    TForm to_;
    bool exact_;
    std::string lineBreak_;
    const TByteSink* sink_ = nullptr;
};

// The ways a save tries to write a file, in order: the ANSI code page
// without a mark, the file's own encoding with its mark, UTF-8 with a mark.
TForm WayOf(size_t way, UINT ansiCodePage, UINT fileCodePage, std::string_view fileMark) {
    const TForm ways[] = {{ansiCodePage, {}}, {fileCodePage, fileMark}, {CP_UTF8, kUtf8Mark}};
    return ways[way];
}
}  // namespace

std::string DefaultSettingsBytes(UINT codePage) {
    return std::string(codePage == CP_UTF8 ? kUtf8Mark : "") + std::string(kDefaultSettingsLines);
}

char* TLineRuns::Room(size_t size) {
    if (filled_ + size > room_) {  // never cleared: the file's bytes are read over it
        room_ = std::max(2 * room_, filled_ + size);
        std::unique_ptr<char[]> grown = std::make_unique_for_overwrite<char[]>(room_);
        std::copy_n(buffer_.get(), filled_, grown.get());
        buffer_ = std::move(grown);
    }
    return buffer_.get() + filled_;
}

void TLineRuns::Take(size_t count) {
    // What came before holds no line break but a CR at its very end, which
    // may be the first half of a CR LF.
    const size_t unit = UnitSize(codePage), from = codePage == 0 ? 0 : filled_ - std::min(filled_, 2 * unit);
    filled_ += count;
    if (!KnowForm(false)) return;
    const size_t whole = filled_ - filled_ % UnitSize(codePage);
    for (size_t at = whole; at > from; at -= UnitSize(codePage)) {
        const char c = BreakAt(Pending(), at - UnitSize(codePage), codePage);
        if (c == '\n' || (c == '\r' && at < whole)) return TakeLines(at);
    }
}

void TLineRuns::Finish(bool complete) {
    KnowForm(true);
    const size_t unit = UnitSize(codePage);
    size_t end = filled_ - filled_ % unit;
    while (!complete && end > 0 && !BreakAt(Pending(), end - unit, codePage)) end -= unit;
    TakeLines(end);
    tail = Pending();
}

bool TLineRuns::KnowForm(bool all) {
    if (codePage != 0) return true;
    if (!all && filled_ < kUtf8Mark.size()) return false;  // a mark may be coming yet
    const TForm form = FormOf(Pending(), ansiCodePage_);
    codePage = form.codePage;
    mark = form.mark;
    Drop(mark.size());
    return true;
}

void TLineRuns::TakeLines(size_t end) {
    if (end > 0) take_(Pending().substr(0, end));
    Drop(end);
}

void TLineRuns::Drop(size_t count) {
    std::copy(buffer_.get() + count, buffer_.get() + filled_, buffer_.get());
    filled_ -= count;
}

TSettingsLoader::TSettingsLoader(UINT codePage)
    : runs(codePage, [this](std::string_view units) {
          for (const TKeyLine& key : KeyLines(units, runs.codePage))
              for (size_t row = 0; row < kKeyCount; ++row)
                  if (std::optional<std::wstring> value = ValueIn(key.text, kSettingsKeys[row])) values[row] = value;
      }) {}

TSettingsSaver::TSettingsSaver(UINT codePage, const TWindowValues& values, TByteSink sink)
    : ansiCodePage_(codePage), values_(values), sink_(std::move(sink)),
      gather_([this](std::string_view bytes) { Gather(bytes); }) {}

TLineRuns* TSettingsSaver::NextReading() {
    if (reading_) {
        reading_->Finish(true);
        // The first reading tells the file's form; the others find the same.
        if (fileCodePage_ == 0) fileCodePage_ = reading_->codePage, fileMark_ = reading_->mark, fileTail_ = reading_->tail;
        wrote_ = wrote_ && reading_->codePage == fileCodePage_ && reading_->mark == fileMark_ && reading_->tail == fileTail_;
        if (writing_) {
            Gather(fileTail_, true);
            return nullptr;
        }
        if (fits_ && !Needless(way_)) {
            writing_ = true;
        } else {
            do ++way_;
            while (way_ < 3 && Needless(way_));
            fits_ = true;
            writing_ = way_ == 3;  // none fits
        }
        if (writing_) {
            block_.reserve(kWriteBlock);
            Gather(WayOf(WrittenWay(), ansiCodePage_, fileCodePage_, fileMark_).mark);
        }
    }
    reading_ = std::make_unique<TLineRuns>(ansiCodePage_, [this](std::string_view units) { Take(units); });
    return reading_.get();
}

// A way tried already needs no second try (the file's own is the ANSI code
// page's for a file without a mark, UTF-8's for one with a UTF-8 mark), and
// half a UTF-16 unit at the end has no text to be written otherwise.
bool TSettingsSaver::Needless(size_t way) const {
    if ((way == 1 && fileMark_.empty()) || (way == 2 && fileMark_ == kUtf8Mark)) return true;
    return !fileTail_.empty() && WayOf(way, ansiCodePage_, fileCodePage_, fileMark_).codePage != fileCodePage_;
}

void TSettingsSaver::Take(std::string_view units) {
    const std::vector<TKeyLine> keyLines = KeyLines(units, reading_->codePage);
    const TForm way = WayOf(WrittenWay(), ansiCodePage_, fileCodePage_, fileMark_);
    if (writing_)
        wrote_ = TSaveWriter(units, reading_->codePage, keyLines, way, way_ < 3).Write(values_, &gather_) && wrote_;
    else if (fits_)
        fits_ = TSaveWriter(units, reading_->codePage, keyLines, way, true).Write(values_, nullptr);
}

// Small pieces reach the sink gathered into blocks, large ones as they are.
void TSettingsSaver::Gather(std::string_view bytes, bool last) {
    if (bytes.size() < kWriteBlock) {
        block_ += bytes;
        if (block_.size() < kWriteBlock && !last) return;
        bytes = {};
    }
    if (!block_.empty()) sink_(block_);
    block_.clear();
    if (!bytes.empty()) sink_(bytes);
}
