// game.dat as bytes: the lines loading and saving see, the values loading
// takes, the lines a save writes, and the encoding it writes them in.
#include <gtest/gtest.h>

#include "tests/Utf16Bytes.h"
#include "tests/unit/settings_test_support.h"

using namespace settings_test;
using namespace std::string_literals;

namespace {
using Loaded = TLoadedValues;
const std::nullopt_t none = std::nullopt;

// Values as the window would hand them to a save: mode, chronicle, logo, build ID.
const TWindowValues kChoices{L"1", L"3", L"0", L"57"};

// What a save writes for a file without key lines: each line and CR LF.
std::string Lines(std::string_view bytes, UINT codePage = 1252) {
    return SaveSettings(bytes, codePage, kChoices);
}

}  // namespace

TEST(SettingsLines, EndAtCrLfLfOrALoneCrAndABreakAtTheEndGivesNoLine) {
    EXPECT_EQ(Lines("a\r\nb\nc\rd"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(Lines("\r\r\n\n\r"), "\r\n\r\n\r\n\r\n");
    EXPECT_EQ(Lines("x\n\ry"), "x\r\n\r\ny\r\n");  // LF CR is two breaks
    EXPECT_EQ(Lines(""), "");
    EXPECT_EQ(Lines("last"), "last\r\n");
    EXPECT_EQ(Lines("a\r\n\r\n"), "a\r\n\r\n");
    EXPECT_EQ(Lines("a\r"), "a\r\n");
}

TEST(SettingsLines, LoadingCutsThemAsSavingDoes) {
    // A lone CR ends a line: read as one line, the mode would take in the rest.
    EXPECT_EQ(LoadSettings("PROTECTION_MODE = 1\rPROTECTION_CHRONICLE = 2\nPROTECTION_CLIENT_ID = 7", 1252),
              (Loaded{L"1", L"2", none, L"7"}));
    // 0x1A is a character of its line, and lines after it count.
    EXPECT_EQ(LoadSettings("PROTECTION_MODE = 1\x1A\r\n\x1A\r\nPROTECTION_LOGO = 1", 1252),
              (Loaded{L"1\x1A", none, L"1", none}));
    EXPECT_EQ(Lines("x\x1Ay\r\n\x1A"), "x\x1Ay\r\n\x1A\r\n");
}

TEST(SettingsValues, AreTheTextAfterTheFirstKeyTextUpToANul) {
    EXPECT_EQ(LoadSettings("PROTECTION_MODE = 1\r\nPROTECTION_CHRONICLE = 3\r\nPROTECTION_CLIENT_ID = 57", 1252),
              (Loaded{L"1", L"3", none, L"57"}));
    // Wherever the key text stands; fixed positions would give "= 1".
    EXPECT_EQ(LoadSettings("  PROTECTION_MODE = 1\n#PROTECTION_CHRONICLE = 2\nx PROTECTION_CLIENT_ID = 4", 1252),
              (Loaded{L"1", L"2", none, L"4"}));
    // Blanks stay for the window to remove; nothing is cut at the end.
    EXPECT_EQ(LoadSettings("PROTECTION_MODE =  1\nPROTECTION_CLIENT_ID = 12 x  ", 1252)[3], L"12 x  ");
    EXPECT_EQ(LoadSettings("PROTECTION_MODE =  1", 1252)[0], L" 1");
    EXPECT_EQ(LoadSettings("PROTECTION_MODE = ", 1252)[0], L"");
    EXPECT_EQ(LoadSettings("PROTECTION_MODE = PROTECTION_MODE = 2", 1252)[0], L"PROTECTION_MODE = 2");
    // An edit holds a text up to its first NUL: so does the value.
    EXPECT_EQ(LoadSettings("PROTECTION_MODE = 1\0 tail\r\nPROTECTION_CLIENT_ID = \0""9"s, 1252),
              (Loaded{L"1", none, none, L""}));
    EXPECT_EQ(LoadSettings("\0PROTECTION_CHRONICLE = 2"s, 1252)[1], L"2");
}

TEST(SettingsValues, KeysMatchOnlyExactlyAndTheLastLineWins) {
    for (const char* line : {"PROTECTION_MODE=1", "PROTECTION_MODE =1", "PROTECTION_MODE= 1", "protection_mode = 1",
                             "PROTECTION_ID = 0", "PROTECTION_", "[DEFAULT]", ""})
        EXPECT_EQ(LoadSettings(line, 1252), Loaded{}) << line;
    EXPECT_EQ(LoadSettings("PROTECTION_MODE = 1\nPROTECTION_MODE = 2\nPROTECTION_CLIENT_ID = 3\nx", 1252),
              (Loaded{L"2", none, none, L"3"}));
}

TEST(SettingsValues, TheLogoIsCheckedByAnyLineHoldingItsKeyTextAndOne) {
    EXPECT_EQ(LoadSettings("PROTECTION_LOGO = 1", 1252)[2], L"1");
    EXPECT_EQ(LoadSettings("PROTECTION_LOGO = 10", 1252)[2], L"1");
    EXPECT_EQ(LoadSettings("PROTECTION_LOGO = 0 PROTECTION_LOGO = 1", 1252)[2], L"1");
    EXPECT_EQ(LoadSettings("PROTECTION_LOGO = 1\nPROTECTION_LOGO = 0", 1252)[2], L"1");
    for (const char* line : {"PROTECTION_LOGO = 0", "PROTECTION_LOGO = ", "PROTECTION_LOGO =1"})
        EXPECT_EQ(LoadSettings(line, 1252)[2], none) << line;
    // One line serves every key it holds.
    EXPECT_EQ(LoadSettings("PROTECTION_MODE = 2 PROTECTION_LOGO = 1", 1252),
              (Loaded{L"2 PROTECTION_LOGO = 1", none, L"1", none}));
}

TEST(SettingsSave, TheDefaultFileWithNewChoices) {
    EXPECT_EQ(DefaultSettingsBytes(1252).size(), 124u);
    EXPECT_EQ(DefaultSettingsBytes(932), DefaultSettingsBytes(1252));
    EXPECT_EQ(DefaultSettingsBytes(65001), "\xEF\xBB\xBF" + DefaultSettingsBytes(1252));
    EXPECT_EQ(SaveSettings(DefaultSettingsBytes(1252), 1252, {L"1", L"0", L"0", L"57"}),
              "[DEFAULT]\r\nPROTECTION_ID = 0\r\nPROTECTION_MODE = 1\r\nPROTECTION_CHRONICLE = 0\r\n"
              "PROTECTION_LOGO = 0\r\nPROTECTION_CLIENT_ID = 57\r\n");
}

TEST(SettingsSave, AKeyLineBecomesItsFirstKeyTextAndTheValue) {
    EXPECT_EQ(SaveSettings("PROTECTION_LOGO = 1 PROTECTION_MODE = 0\r\n  #PROTECTION_CHRONICLE = 0 old\r\n"
                           "PROTECTION_LOGO = 7\r\nx PROTECTION_CLIENT_ID = 12 y\r\nPROTECTION_MODE = 2\r\n",
                           1252, kChoices),
              "PROTECTION_MODE = 1\r\nPROTECTION_CHRONICLE = 3\r\nPROTECTION_LOGO = 0\r\n"
              "PROTECTION_CLIENT_ID = 57\r\nPROTECTION_MODE = 1\r\n");
    // Empty values are written as 0; others as held, untrimmed.
    EXPECT_EQ(SaveSettings("PROTECTION_MODE = 2\nPROTECTION_CHRONICLE = 2\nPROTECTION_CLIENT_ID = 9\n"
                           "PROTECTION_LOGO = \n",
                           1252, {L"", L" 2 x", L"1", L""}),
              "PROTECTION_MODE = 0\r\nPROTECTION_CHRONICLE =  2 x\r\nPROTECTION_CLIENT_ID = 0\r\n"
              "PROTECTION_LOGO = 1\r\n");
}

// Whatever a line without a key text holds, in any code page.
TEST(SettingsSave, LinesWithoutAKeyTextComeOutByteForByte) {
    const std::string other =
        "[DEFAULT]\r\nPROTECTION_ID = 5\r\nPROTECTION_MODE=1\r\nPROTECTION_\r\n\r\n; \xE9\x80\xFF\r\n"
        "PROTECTION_ID = 0 ; \x83\r\nlead at the end \x81\r\n\xC3\r\n\xED\xA0\x80 \xF5\r\nn\0l\0\r\n"s;
    for (const UINT codePage : {1252u, 1251u, 932u, 936u, 949u, 65001u}) {
        EXPECT_EQ(Lines(other, codePage), other) << codePage;
        EXPECT_EQ(SaveSettings(other + "PROTECTION_MODE = 0\r\n", codePage, kChoices),
                  other + "PROTECTION_MODE = 1\r\n")
            << codePage;
    }
}

// A key text whose first byte is the second byte of a double-byte character
// is no key text: the line is neither read nor rewritten.
TEST(SettingsSave, KeyTextsInsideDoubleByteCharactersAreNoKeyTexts) {
    const std::string line = "\x95PROTECTION_MODE = 1\r\n";  // 95 50 is one character
    EXPECT_EQ(LoadSettings(line, 932)[0], none);
    EXPECT_EQ(SaveSettings(line, 932, kChoices), line);
    EXPECT_EQ(LoadSettings(line, 1252)[0], L"1");
    // 表 ends in 5C, a backslash by itself: the key after it is one.
    EXPECT_EQ(LoadSettings("\x95\x5CPROTECTION_MODE = \x95\x5C", 932)[0], L"\x8868");
    EXPECT_EQ(LoadSettings("\x81PROTECTION_CLIENT_ID = 1", 936)[3], none);
    EXPECT_EQ(LoadSettings("\xB0PROTECTION_CLIENT_ID = 1", 949)[3], none);
}

TEST(SettingsEncodings, AByteOrderMarkChoosesTheEncodingAndIsNotText) {
    EXPECT_EQ(LoadSettings("\xEF\xBB\xBFPROTECTION_MODE = \xC3\xA9", 1252)[0], L"\xE9");
    EXPECT_EQ(LoadSettings(Utf16(L"PROTECTION_MODE = \x20AC\r\nPROTECTION_CLIENT_ID = 7"), 1252),
              (Loaded{L"\x20AC", none, none, L"7"}));
    EXPECT_EQ(LoadSettings(Utf16(L"a\rPROTECTION_CHRONICLE = \xD83D\xDE00", true), 1252)[1], L"\xD83D\xDE00");
    // Only a whole mark counts.
    EXPECT_EQ(Lines("\xEF\xBB" "a"), "\xEF\xBB" "a\r\n");
    EXPECT_EQ(Lines("\xEF\xBB\xBF"), "");
    // A key text split across two UTF-16 units is none.
    EXPECT_EQ(LoadSettings("\xFF\xFE" "x" + Utf16(L"PROTECTION_MODE = 1").substr(2), 1252)[0], none);
}

// No character of the file is replaced by a substitute.
TEST(SettingsEncodings, AFileWithAMarkIsWrittenInTheAnsiCodePageOnlyWhereEveryLineSurvives) {
    const std::string utf8 = "\xEF\xBB\xBF; \xD0\x9F\xD1\x80\xD0\xB8\r\nPROTECTION_MODE = 0\r\n";  // "При"
    // 1252 has no Cyrillic: the file stays UTF-8, its comment as it was.
    EXPECT_EQ(SaveSettings(utf8, 1252, kChoices), "\xEF\xBB\xBF; \xD0\x9F\xD1\x80\xD0\xB8\r\nPROTECTION_MODE = 1\r\n");
    EXPECT_EQ(SaveSettings(utf8, 1251, kChoices), "; \xCF\xF0\xE8\r\nPROTECTION_MODE = 1\r\n");
    EXPECT_EQ(SaveSettings("\xEF\xBB\xBF; ascii\nPROTECTION_MODE = 0", 1252, kChoices),
              "; ascii\r\nPROTECTION_MODE = 1\r\n");
    // Best fit would write A for A-macron.
    EXPECT_EQ(SaveSettings("\xEF\xBB\xBF\xC4\x80", 1252, kChoices), "\xEF\xBB\xBF\xC4\x80\r\n");
    // Invalid UTF-8 survives only as its bytes.
    EXPECT_EQ(SaveSettings("\xEF\xBB\xBF\xFF\xC3\r\n", 1252, kChoices), "\xEF\xBB\xBF\xFF\xC3\r\n");
    // Under 65001 the ANSI code page is UTF-8: the mark goes, the bytes stay.
    EXPECT_EQ(SaveSettings("\xEF\xBB\xBF\xFF\xD0\x9F\r\nPROTECTION_MODE = 0\r\n", 65001, kChoices),
              "\xFF\xD0\x9F\r\nPROTECTION_MODE = 1\r\n");
}

TEST(SettingsEncodings, Utf16FilesStayUtf16WhereTheAnsiCodePageCannotHoldThem) {
    const std::string japanese = Utf16(L"; \x65E5\x672C\r\nPROTECTION_MODE = 0\r\n");  // 日本
    EXPECT_EQ(SaveSettings(japanese, 1252, kChoices), Utf16(L"; \x65E5\x672C\r\nPROTECTION_MODE = 1\r\n"));
    EXPECT_EQ(SaveSettings(japanese, 932, kChoices), "; \x93\xFA\x96\x7B\r\nPROTECTION_MODE = 1\r\n");
    const std::string bigEndian = Utf16(L"\xD800 alone\nPROTECTION_MODE = 0", true);
    EXPECT_EQ(SaveSettings(bigEndian, 65001, kChoices), Utf16(L"\xD800 alone\r\nPROTECTION_MODE = 1\r\n", true));
    // Half a unit at the end stays at the end.
    EXPECT_EQ(SaveSettings(Utf16(L"a\nb") + "x", 1252, kChoices), Utf16(L"a\r\nb\r\n") + "x");
    EXPECT_EQ(SaveSettings(Utf16(L"a\nb"), 1252, kChoices), "a\r\nb\r\n");
}

TEST(SettingsEncodings, AValueTheAnsiCodePageCannotHoldTurnsTheFileIntoUtf8) {
    const TWindowValues cyrillic{L"\x041F", L"0", L"0", L""};
    EXPECT_EQ(SaveSettings("caf\xE9\r\nPROTECTION_MODE = 0\r\n", 1252, cyrillic),
              "\xEF\xBB\xBF" "caf\xC3\xA9\r\nPROTECTION_MODE = \xD0\x9F\r\n");
    EXPECT_EQ(SaveSettings("caf\xE9\r\nPROTECTION_MODE = 0\r\n", 1251, cyrillic),
              "caf\xE9\r\nPROTECTION_MODE = \xCF\r\n");
    // Where the other lines could not follow, the value takes the substitute.
    // (Thai is in neither 932 nor, with a lead byte alone, the line above it.)
    EXPECT_EQ(SaveSettings("\x81\r\nPROTECTION_MODE = 0\r\n", 932, {L"\x0E01"}), "\x81\r\nPROTECTION_MODE = ?\r\n");
    EXPECT_EQ(SaveSettings("\xEF\xBB\xBF\xFF\r\nPROTECTION_MODE = 0\r\n", 1252, {L"\xD800"}),
              "\xEF\xBB\xBF\xFF\r\nPROTECTION_MODE = \xEF\xBF\xBD\r\n");
}
