#pragma once
// game.dat as bytes, without any file: the keys the window edits, what
// loading takes from the bytes and what a save makes of them. `codePage` is
// the ANSI code page.
//
// A file that begins with a byte order mark (EF BB BF, FF FE, FE FF) is
// UTF-8, UTF-16LE or UTF-16BE, any other is in the ANSI code page. Lines end
// at CR LF, LF or a lone CR, and a break at the very end gives no further
// line; NUL, 0x1A and everything else belong to their line. A key line's
// text holds a key text (a key, a blank, "=", a blank) anywhere; bytes that
// only look like one (the second byte of a double-byte character) are none.
//
// Loading gives an edit the text after the first key text in the line, up to
// its first NUL (an edit holds no more), and checks a check box when a line
// holds its checked text; the last line wins. A save keeps the lines and
// their order, ends each with CR LF and writes a key line as the first key
// text it holds followed by the window's value ("0" for an empty one). Any
// other line comes out byte for byte, or as the same characters where the
// file changes encoding: it takes the first of the ANSI code page without a
// mark, its own encoding with its mark, UTF-8 with a mark, in which every
// line survives, so that no character turns into a substitute. Only if none
// does (the values came from another file) it keeps its own encoding and
// the key lines take substitutes. Half a UTF-16 unit at the end stays there.
#include <windows.h>

#include <array>
#include <functional>
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

// Loading, from a file read piece by piece and never held whole: each piece
// is read into Room(size), then the first `count` bytes of it are taken.
// Finish(false), after a failed read, leaves out a last line without a break.
class TSettingsLoader {
public:
    explicit TSettingsLoader(UINT codePage) : ansiCodePage_(codePage) {}
    char* Room(size_t size);
    void Take(size_t count);
    TLoadedValues Finish(bool complete);

private:
    bool KnowForm(bool all);
    void TakeLines(size_t end);

    UINT ansiCodePage_;
    UINT codePage_ = 0;    // of the text, once the mark or its lack is known
    std::string pending_;  // bytes not yet taken as lines, then room
    size_t filled_ = 0;    // how many of them the file gave
    TLoadedValues values_;
};

// Receives the bytes a save writes, in order, in pieces that may be views
// of `bytes`: no copy of a large file is made.
using TByteSink = std::function<void(std::string_view)>;
void SaveSettings(std::string_view bytes, UINT codePage, const TWindowValues& values, const TByteSink& sink);
