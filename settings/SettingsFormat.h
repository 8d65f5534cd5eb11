#pragma once
// game.dat as bytes, without any file: the keys the window edits, what
// loading takes from a file's bytes and what a save makes of them.
//
// A byte order mark makes a file UTF-8 or UTF-16, else it is in the ANSI
// code page. Lines end at CR LF, LF or a lone CR; NUL and 0x1A are plain
// characters. A line whose text holds a key text is a key line (bytes that
// only look like one, inside double-byte characters, are not).
#include <windows.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct TSettingsKey {
    std::wstring_view keyText;       // the key, " = "; its value follows
    std::wstring_view defaultValue;  // in a new file
    bool isFlag = false;             // "1" or "0"; loading takes only "1" after the key text
};

// One row a key, in the order in which a save tests a line.
inline constexpr std::array<TSettingsKey, 4> kSettingsKeys{{
    {L"PROTECTION_MODE = ", L"0"},
    {L"PROTECTION_CHRONICLE = ", L"0"},
    {L"PROTECTION_LOGO = ", L"1", true},
    {L"PROTECTION_CLIENT_ID = ", L"0"},
}};
inline constexpr size_t kKeyCount = kSettingsKeys.size();

// Every key text begins with it. It is ASCII, which stands for itself in
// every ANSI code page and in UTF-8, so only lines whose bytes hold it
// need decoding.
inline constexpr std::wstring_view kKeyPrefix = L"PROTECTION_";
static_assert(std::ranges::all_of(kSettingsKeys, [](const TSettingsKey& key) {
    return key.keyText.starts_with(kKeyPrefix) && key.keyText.ends_with(L" = ");
}));

// The window's values, one a key in the order of kSettingsKeys; a flag's
// is "1" or "0". No control of the window can hold a line break.
using TWindowValues = std::array<std::wstring, kKeyCount>;
// What loading found for each key: nothing where no line says anything, "1"
// for a flag that a line sets.
using TLoadedValues = std::array<std::optional<std::wstring>, kKeyCount>;

// The six lines of a new game.dat (124 bytes), after a UTF-8 mark when the
// ANSI code page is UTF-8.
std::string DefaultSettingsBytes(UINT ansiCodePage);

// The values a file's lines give: for each key the text after its key text
// up to a NUL (an edit holds no more), in the last line that has it.
TLoadedValues LoadedValues(std::string_view bytes, UINT ansiCodePage);

// Receives the bytes a save writes, in order, piece by piece: most of them
// are runs of the file's own bytes, which need no copy.
using TByteSink = std::function<void(std::string_view)>;

// What a save makes of a file: every line ended by CR LF, a key line as its
// first key text and the window's value ("0" when empty), every other line
// byte for byte, or as the same characters where the file changes its
// encoding (SaveEncoding in the source says when).
void WriteSavedBytes(std::string_view bytes, UINT ansiCodePage, const TWindowValues& values, const TByteSink& sink);
