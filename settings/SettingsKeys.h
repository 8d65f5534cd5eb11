#pragma once
// The keys of game.dat and what loading and saving do with a line.
//
// A key line holds a key text, the key, one blank, "=", one blank, followed
// by the value, which runs to the end of the line. Keys are found anywhere in
// a line and compared exactly (case and blanks count); lines without a known
// key text mean nothing and are carried through a save unchanged.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/TextScan.h"

// Every key text begins with this, so a line without it holds none.
inline constexpr std::wstring_view kKeyPrefix = L"PROTECTION_";
inline constexpr std::wstring_view kModeKey = L"PROTECTION_MODE = ";
inline constexpr std::wstring_view kChronicleKey = L"PROTECTION_CHRONICLE = ";
inline constexpr std::wstring_view kLogoKey = L"PROTECTION_LOGO = ";
inline constexpr std::wstring_view kClientIdKey = L"PROTECTION_CLIENT_ID = ";
// Loading checks the logo box only for this whole text, value included.
inline constexpr std::wstring_view kLogoShownText = L"PROTECTION_LOGO = 1";

// The six lines of a newly created game.dat, in order.
std::vector<std::wstring> DefaultSettingsLines();

// What one line says to loading. Each key is looked for on its own, so a line
// holding two key texts serves both.
struct KeyLineValues {
    // The text that follows the key text where it first occurs in the line;
    // leading blanks are still there (the window removes them).
    std::optional<std::wstring> mode;
    std::optional<std::wstring> chronicle;
    std::optional<std::wstring> clientId;
    bool logoShown = false;  // the line contains "PROTECTION_LOGO = 1"
};
KeyLineValues ReadKeyLineValues(std::wstring_view line);
// Runs for every line loaded: lines without a key text, nearly all of a
// large file, are told apart here without a call.
inline KeyLineValues ReadKeyLine(std::wstring_view line) {
    if (FindText(line, kKeyPrefix) == std::wstring_view::npos) return {};
    return ReadKeyLineValues(line);
}

// The window's values that a save writes.
struct SavedValues {
    std::wstring mode;
    std::wstring chronicle;
    std::wstring clientId;
    bool logoShown = false;
};

// The line a save writes in place of `line`: the first key text found, in the
// order mode, chronicle, logo, build ID, decides, and the whole line becomes
// that key text followed by the value ("0" for an empty text; "1" or "0" for
// the logo). A line without a key text comes back unchanged.
std::wstring RewriteLine(std::wstring_view line, const SavedValues& values);

// The same without copying lines that stay unchanged: returns `line` itself,
// or a view of `buffer` holding the rewritten line.
std::wstring_view RewriteLine(std::wstring_view line, const SavedValues& values,
                              std::wstring& buffer);
