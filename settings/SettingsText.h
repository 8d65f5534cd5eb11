#pragma once
// game.dat as bytes, without any file: the keys the window edits, what
// loading takes from the bytes, what a save makes of them.
//
// A byte order mark makes a file UTF-8 or UTF-16, else it is in the ANSI
// code page. Lines end at CR LF, LF or a lone CR; NUL and 0x1A are plain
// characters. A line whose text holds a key text is a key line (bytes that
// only look like one, inside double-byte characters, are not). Loading gives
// an edit the text after the key text up to its first NUL, as an edit holds
// it, and checks a box for its checked text; the last line wins. A save ends
// each line with CR LF, writes a key line as its first key text and the
// window's value ("0" if empty), and every other line byte for byte, or as
// the same characters in the first of these that every line survives: the
// ANSI code page without a mark, the file's encoding with its mark, UTF-8
// with a mark. Failing all (values from another file), the file's own, with
// substitutes in the key lines. Half a UTF-16 unit at the end stays.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct TSettingsKey {
    std::wstring_view keyText;
    const wchar_t* control;  // the window's control that holds the value
    // Empty for an edit; for a check box, the text that checks it.
    std::wstring_view checkedText;
};

// One row a key, in the order in which a save tests a line.
inline constexpr std::array<TSettingsKey, 4> kSettingsKeys{{
    {L"PROTECTION_MODE = ", L"pMode", {}},
    {L"PROTECTION_CHRONICLE = ", L"pCronic", {}},
    {L"PROTECTION_LOGO = ", L"ShowCustomLogo", L"PROTECTION_LOGO = 1"},
    {L"PROTECTION_CLIENT_ID = ", L"DLLKey", {}},
}};
inline constexpr size_t kKeyCount = kSettingsKeys.size();

// The window's values, one a key; a check box's is "1" or "0". No control
// of the window can hold a line break.
using TWindowValues = std::array<std::wstring, kKeyCount>;
// What loading found for each key: nothing where no line says anything, "1"
// for a check box that a line checks.
using TLoadedValues = std::array<std::optional<std::wstring>, kKeyCount>;

// The six lines of a new game.dat: 124 bytes in every ANSI code page.
inline constexpr std::string_view kDefaultSettingsLines =
    "[DEFAULT]\r\nPROTECTION_ID = 0\r\nPROTECTION_MODE = 0\r\nPROTECTION_CHRONICLE = 0\r\n"
    "PROTECTION_LOGO = 1\r\nPROTECTION_CLIENT_ID = 0\r\n";

// The default lines after a UTF-8 mark when the ANSI code page is UTF-8.
std::string DefaultSettingsBytes(UINT codePage);

// A file read piece by piece and never held whole, handed to `take` in runs
// of whole lines after its mark. Each piece is read into Room(size) and the
// first `count` bytes of it taken; Finish(false), after a failed read,
// leaves out a last line without a break.
class TLineRuns {
public:
    TLineRuns(UINT ansiCodePage, std::function<void(std::string_view)> take)
        : ansiCodePage_(ansiCodePage), take_(std::move(take)) {}
    char* Room(size_t size);
    void Take(size_t count);
    void Finish(bool complete);

    UINT codePage = 0;  // of the text (1200, 1201 for UTF-16), once known
    std::string mark;
    std::string tail;  // after Finish(true): half a UTF-16 unit at the end

private:
    bool KnowForm(bool all);
    void TakeLines(size_t end);
    void Drop(size_t count);
    std::string_view Pending() const { return {buffer_.get(), filled_}; }

    UINT ansiCodePage_;
    std::function<void(std::string_view)> take_;
    std::unique_ptr<char[]> buffer_;  // bytes not yet taken as lines, then room
    size_t filled_ = 0, room_ = 0;    // how many the file gave, and fit
};

// Loading: the values the controls receive from the lines of `runs`.
struct TSettingsLoader {
    explicit TSettingsLoader(UINT codePage);
    TLoadedValues values;
    TLineRuns runs;
};

// Receives the bytes a save writes, in order, in pieces.
using TByteSink = std::function<void(std::string_view)>;

// Saving reads the file more than once, each time from its start: to find
// in which of the ways it can be written, one reading for each way tried,
// then to write it into `sink`. Wrote is false when the file changed
// between the readings.
class TSettingsSaver {
public:
    TSettingsSaver(UINT codePage, const TWindowValues& values, TByteSink sink);
    // The next reading to feed the whole file to, or null once it is written.
    TLineRuns* NextReading();
    bool Wrote() const { return wrote_; }

private:
    bool Needless(size_t way) const;
    void Take(std::string_view units);
    void Gather(std::string_view bytes, bool last = false);
    // Where no way fits, the file's own (way 1), with substitutes.
    size_t WrittenWay() const { return way_ < 3 ? way_ : 1; }

    UINT ansiCodePage_;
    TWindowValues values_;
    TByteSink sink_, gather_;
    std::string block_;  // pieces gathered for the sink
    std::unique_ptr<TLineRuns> reading_;
    UINT fileCodePage_ = 0;  // and mark and tail: known after the first reading
    std::string fileMark_, fileTail_;
    size_t way_ = 0;  // tried, then written
    bool fits_ = true, writing_ = false, wrote_ = true;
};
