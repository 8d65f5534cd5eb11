#include "settings/SettingsText.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <vector>

#include "settings/ByteScan.h"

namespace {
constexpr UINT kUtf16LE = 1200, kUtf16BE = 1201;  // the platform's numbers for them
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// Every key text begins with it, and it is ASCII, which stands for itself
// in every code page: only lines whose bytes hold it need decoding.
constexpr std::wstring_view kKeyPrefix = L"PROTECTION_";
constexpr size_t kSmallPiece = 16 * 1024;  // smaller pieces go to the sink in batches

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
    size_t end = unit == 1 ? FindLineBreak(units, start) : start;
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

// Writes a file's new content in one form into `sink`, or without a sink
// only finds out whether it can. When `exact`, a character that would turn
// into a substitute makes it fail.
class TSaveWriter {
public:
    TSaveWriter(std::string_view units, UINT codePage, const std::vector<TKeyLine>& keyLines, const TForm& to,
                bool exact)
        : units_(units), codePage_(codePage), keyLines_(keyLines), to_(to), exact_(exact),
          lineBreak_(Encode(L"\r\n", to.codePage)) {}

    bool Write(const TWindowValues& values, std::string_view tail, const TByteSink* sink) {
        sink_ = sink;
        if (!tail.empty() && !SameEncoding()) return false;  // half a unit has no text
        Put(to_.mark);
        size_t pos = 0;
        for (const TKeyLine& key : keyLines_) {
            if (!PutOtherLines(pos, key.line.start) || !PutText(RewrittenKeyLine(key.text, values))) return false;
            pos = key.line.next;
        }
        if (!PutOtherLines(pos, units_.size())) return false;
        Put(tail);
        Flush();
        return true;
    }

private:
    bool SameEncoding() const { return to_.codePage == codePage_; }

    // Small pieces go to the sink gathered, large ones as they are.
    void Put(std::string_view bytes) {
        if (!sink_) return;
        if (bytes.size() < kSmallPiece) {
            small_ += bytes;
            if (small_.size() >= kSmallPiece) Flush();
            return;
        }
        Flush();
        (*sink_)(bytes);
    }

    void Flush() {
        if (sink_ && !small_.empty()) (*sink_)(small_);
        small_.clear();
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
    std::string lineBreak_, small_;
    const TByteSink* sink_ = nullptr;
};
}  // namespace

std::string DefaultSettingsBytes(UINT codePage) {
    return std::string(codePage == CP_UTF8 ? kUtf8Mark : "") + std::string(kDefaultSettingsLines);
}

char* TSettingsLoader::Room(size_t size) {
    pending_.resize(filled_ + size);
    return pending_.data() + filled_;
}

void TSettingsLoader::Take(size_t count) {
    const size_t from = codePage_ == 0 ? 0 : filled_;  // what came before holds no line break
    pending_.resize(filled_ += count);
    if (!KnowForm(false)) return;
    // The lines up to the last break are whole. (A CR LF cut in two gives one
    // empty line more, which holds no value.)
    const size_t unit = UnitSize(codePage_);
    for (size_t at = filled_ - filled_ % unit; at > from; at -= unit)
        if (BreakAt(pending_, at - unit, codePage_)) return TakeLines(at);
}

TLoadedValues TSettingsLoader::Finish(bool complete) {
    pending_.resize(filled_);
    KnowForm(true);
    const size_t unit = UnitSize(codePage_);
    size_t end = filled_ - filled_ % unit;
    while (!complete && end > 0 && !BreakAt(pending_, end - unit, codePage_)) end -= unit;
    TakeLines(end);
    return values_;
}

bool TSettingsLoader::KnowForm(bool all) {
    if (codePage_ != 0) return true;
    if (!all && filled_ < kUtf8Mark.size()) return false;  // a mark may be coming yet
    const TForm form = FormOf(pending_, ansiCodePage_);
    codePage_ = form.codePage;
    pending_.erase(0, form.mark.size());
    filled_ -= form.mark.size();
    return true;
}

void TSettingsLoader::TakeLines(size_t end) {
    for (const TKeyLine& key : KeyLines(std::string_view(pending_).substr(0, end), codePage_))
        for (size_t row = 0; row < kKeyCount; ++row)
            if (std::optional<std::wstring> value = ValueIn(key.text, kSettingsKeys[row])) values_[row] = std::move(value);
    pending_.erase(0, end);
    filled_ -= end;
}

void SaveSettings(std::string_view bytes, UINT codePage, const TWindowValues& values, const TByteSink& sink) {
    const TForm own = FormOf(bytes, codePage);
    bytes.remove_prefix(own.mark.size());
    const size_t whole = bytes.size() - bytes.size() % UnitSize(own.codePage);
    const std::string_view units = bytes.substr(0, whole), tail = bytes.substr(whole);
    const std::vector<TKeyLine> keyLines = KeyLines(units, own.codePage);
    for (const TForm& to : {TForm{codePage, {}}, own, TForm{CP_UTF8, kUtf8Mark}}) {
        TSaveWriter writer(units, own.codePage, keyLines, to, true);
        if (writer.Write(values, tail, nullptr)) {
            writer.Write(values, tail, &sink);
            return;
        }
    }
    TSaveWriter(units, own.codePage, keyLines, own, false).Write(values, tail, &sink);
}
