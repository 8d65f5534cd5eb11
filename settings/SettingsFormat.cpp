#include "settings/SettingsFormat.h"

#include "framework/core/ByteSearch.h"
#include "framework/core/CodePage.h"

namespace {
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// How a file's text is written: its encoding and the mark before it.
struct TEncoding {
    UINT codePage;
    std::string_view mark;
};

// A file's bytes after its mark: a body of whole units, then half a UTF-16
// unit, which has no text and stays where it is. Only lines whose bytes
// hold the key prefix, in the file's encoding, can be key lines.
struct TFileText {
    TEncoding encoding;
    std::string_view body, tail;
    std::string keyPrefix;
};

TFileText FileTextOf(std::string_view bytes, UINT ansiCodePage) {
    TEncoding encoding{ansiCodePage, {}};
    for (const TEncoding marked : {TEncoding{CP_UTF8, kUtf8Mark}, {kUtf16LE, "\xFF\xFE"}, {kUtf16BE, "\xFE\xFF"}})
        if (bytes.starts_with(marked.mark)) encoding = marked;  // no mark begins another
    bytes.remove_prefix(encoding.mark.size());
    const size_t whole = IsUtf16(encoding.codePage) ? bytes.size() & ~size_t{1} : bytes.size();
    return {encoding, bytes.substr(0, whole), bytes.substr(whole), Encode(kKeyPrefix, encoding.codePage)};
}

// A line of a body: its text's bytes [start, end), then its break up to
// `next`, where the next line begins.
struct TLine {
    size_t start, end, next;
};

// Cuts a body into lines: each runs up to the next CR or LF, and a CR with
// an LF after it is one break. Loading and saving both see lines so.
TLine LineAt(std::string_view body, size_t start, UINT codePage) {
    const size_t unit = IsUtf16(codePage) ? 2 : 1;
    const auto unitIs = [&](size_t at, wchar_t c) { return UnitAt(body, at, codePage) == c; };
    size_t end = start;
    if (unit == 1) end = NextByteOf(body, start, '\r', '\n');
    while (end < body.size() && !unitIs(end, L'\r') && !unitIs(end, L'\n')) end += unit;
    if (end == body.size()) return {start, end, end};
    const bool crLf = unitIs(end, L'\r') && end + unit < body.size() && unitIs(end + unit, L'\n');
    return {start, end, end + (crLf ? 2 : 1) * unit};
}

// In text of single bytes, from the line that starts at `at`: the start of
// the line that holds `hit`, or the end where there is none.
size_t LineHolding(std::string_view body, size_t at, size_t hit) {
    if (hit >= body.size()) return body.size();
    const size_t lastBreak = body.find_last_of("\r\n", hit);
    return lastBreak == body.npos ? at : std::max(at, lastBreak + 1);
}

// In text of single bytes, from the line that starts at `at`: the start of
// the first line that does not end in CR LF or that reaches `limit`.
size_t KeptLinesEnd(std::string_view body, size_t at, size_t limit) {
    for (size_t end; (end = NextByteOf(body, at, '\r', '\n')) < limit && body.substr(end, 2) == "\r\n";) at = end + 2;
    return at;
}

// The text of `line` if it is a key line. Lines come in order; `hit` is
// where the key prefix stands next, so that no line before it is decoded.
std::optional<std::wstring> KeyLineText(const TFileText& file, const TLine& line, size_t& hit) {
    if (hit >= line.end) return std::nullopt;
    hit = FindBytes(file.body, file.keyPrefix, line.next);
    std::wstring text = Decode(file.body.substr(line.start, line.end - line.start), file.encoding.codePage);
    if (std::none_of(kSettingsKeys.begin(), kSettingsKeys.end(),
                     [&](const TSettingsKey& key) { return text.find(key.keyText) != std::wstring::npos; }))
        return std::nullopt;
    return text;
}

std::optional<std::wstring> ValueIn(std::wstring_view line, const TSettingsKey& key) {
    if (key.isFlag)
        return line.find(std::wstring(key.keyText) + L"1") == line.npos ? std::optional<std::wstring>() : L"1";
    const size_t at = line.find(key.keyText);
    if (at == line.npos) return std::nullopt;
    const std::wstring_view value = line.substr(at + key.keyText.size());
    return std::wstring(value.substr(0, value.find(L'\0')));
}

std::wstring RewrittenKeyLine(std::wstring_view line, const TWindowValues& values) {
    size_t key = 0;
    while (line.find(kSettingsKeys[key].keyText) == line.npos) ++key;  // a key line holds one
    return std::wstring(kSettingsKeys[key].keyText) + (values[key].empty() ? L"0" : values[key]);
}

// Writes the lines of `file` in `to` into `sink`, or without a sink only
// finds out whether it can. It cannot where a line without a key text does
// not come back from decoding unchanged, or, when `exact`, where `to`
// cannot hold a character of a line. Lines that keep their encoding keep
// their bytes, runs of them that end in CR LF in one piece, and in text of
// single bytes such runs are passed over whole: a large file has few lines
// that need more.
bool Rewrite(const TFileText& file, const TEncoding& to, const TWindowValues& values, bool exact,
             const TByteSink* sink) {
    const UINT own = file.encoding.codePage;
    if (!file.tail.empty() && to.codePage != own) return false;
    const bool passOver = to.codePage == own && !IsUtf16(own);
    const std::string lineBreak = Encode(L"\r\n", to.codePage);
    const auto put = [&](std::string_view bytes) {
        if (sink && !bytes.empty()) (*sink)(bytes);
    };
    const auto putText = [&](std::wstring_view text) {
        const std::string bytes = Encode(text, to.codePage);
        if (exact && Decode(bytes, to.codePage) != text) return false;
        put(bytes);
        put(lineBreak);
        return true;
    };
    const std::string_view body = file.body;
    put(to.mark);
    size_t kept = 0, hit = FindBytes(body, file.keyPrefix, 0);  // the file's bytes from `kept` on are yet to be put
    for (size_t at = 0; at < body.size();) {
        // Without a sink, only key lines can keep a save from going.
        if (passOver && (at = sink ? KeptLinesEnd(body, at, hit) : LineHolding(body, at, hit)) >= body.size()) break;
        const TLine line = LineAt(body, at, own);
        const std::optional<std::wstring> keyLine = KeyLineText(file, line, hit);
        at = line.next;
        if (!keyLine && to.codePage == own) {
            if (body.substr(line.end, line.next - line.end) == lineBreak) continue;
            put(body.substr(kept, line.end - kept));
            put(lineBreak);
            kept = at;
            continue;
        }
        put(body.substr(kept, line.start - kept));
        kept = at;
        const std::string_view bytes = body.substr(line.start, line.end - line.start);
        const std::wstring text = keyLine ? RewrittenKeyLine(*keyLine, values) : Decode(bytes, own);
        if ((!keyLine && Encode(text, own) != bytes) || !putText(text)) return false;
    }
    put(body.substr(kept));
    put(file.tail);
    return true;
}

// The encoding a save writes: the first of these in which every line keeps
// its characters. Failing all (values loaded from another file), the file's
// own, with the platform's substitutes in key lines.
//
//   the file holds                                   a save writes
//   no byte order mark                               the ANSI code page
//   a mark, and only what the ANSI code page holds   the ANSI code page, no mark
//   a mark, and a character the ANSI code page       its own encoding and mark,
//     cannot hold or bytes its encoding cannot         lines without a key text
//     decode                                           byte for byte
//   a UTF-8 mark, the ANSI code page UTF-8           UTF-8 without the mark
//   no mark, a value the ANSI code page cannot hold  UTF-8 with a mark
//   half a UTF-16 unit at its end                    its own encoding and mark
TEncoding SaveEncoding(const TFileText& file, UINT ansiCodePage, const TWindowValues& values) {
    for (const TEncoding to : {TEncoding{ansiCodePage, {}}, file.encoding, TEncoding{CP_UTF8, kUtf8Mark}})
        if (Rewrite(file, to, values, true, nullptr)) return to;
    return file.encoding;
}
}  // namespace

std::string DefaultSettingsBytes(UINT ansiCodePage) {
    std::wstring lines = L"[DEFAULT]\r\nPROTECTION_ID = 0\r\n";
    for (const TSettingsKey& key : kSettingsKeys)
        lines += std::wstring(key.keyText) + std::wstring(key.defaultValue) + L"\r\n";
    return std::string(ansiCodePage == CP_UTF8 ? kUtf8Mark : "") + Encode(lines, ansiCodePage);
}

TLoadedValues LoadedValues(std::string_view bytes, UINT ansiCodePage) {
    const TFileText file = FileTextOf(bytes, ansiCodePage);
    const bool singleBytes = !IsUtf16(file.encoding.codePage);
    TLoadedValues values;
    for (size_t at = 0, hit = FindBytes(file.body, file.keyPrefix, 0); at < file.body.size();) {
        if (singleBytes && (at = LineHolding(file.body, at, hit)) >= file.body.size()) break;
        const TLine line = LineAt(file.body, at, file.encoding.codePage);
        at = line.next;
        if (const std::optional<std::wstring> text = KeyLineText(file, line, hit))
            for (size_t key = 0; key < kKeyCount; ++key)
                if (auto value = ValueIn(*text, kSettingsKeys[key])) values[key] = std::move(value);
    }
    return values;
}

void WriteSavedBytes(std::string_view bytes, UINT ansiCodePage, const TWindowValues& values, const TByteSink& sink) {
    const TFileText file = FileTextOf(bytes, ansiCodePage);
    Rewrite(file, SaveEncoding(file, ansiCodePage, values), values, false, &sink);
}
