// What loading takes from a line and what saving writes in its place.
#include <gtest/gtest.h>

#include "settings/SettingsKeys.h"

namespace {
std::wstring Value(const std::optional<std::wstring>& value) {
    return value ? *value : L"<none>";
}
}  // namespace

TEST(SettingsKeys, DefaultLines) {
    const std::vector<std::wstring> expected = {
        L"[DEFAULT]",           L"PROTECTION_ID = 0",   L"PROTECTION_MODE = 0",
        L"PROTECTION_CHRONICLE = 0", L"PROTECTION_LOGO = 1", L"PROTECTION_CLIENT_ID = 0"};
    EXPECT_EQ(DefaultSettingsLines(), expected);
}

TEST(SettingsKeys, ValueIsTheTextAfterTheKeyTextWhereverItStands) {
    EXPECT_EQ(Value(ReadKeyLine(L"PROTECTION_MODE = 1").mode), L"1");
    EXPECT_EQ(Value(ReadKeyLine(L"PROTECTION_CHRONICLE = 3").chronicle), L"3");
    EXPECT_EQ(Value(ReadKeyLine(L"PROTECTION_CLIENT_ID = 57").clientId), L"57");
    // Fixed positions would give "= 1" for these three.
    EXPECT_EQ(Value(ReadKeyLine(L"  PROTECTION_MODE = 1").mode), L"1");
    EXPECT_EQ(Value(ReadKeyLine(L"#PROTECTION_MODE = 2").mode), L"2");
    EXPECT_EQ(Value(ReadKeyLine(L"\xFEFFPROTECTION_CHRONICLE = 2").chronicle), L"2");
    // Extra blanks stay for the window to remove; nothing is cut at the end.
    EXPECT_EQ(Value(ReadKeyLine(L"PROTECTION_MODE =  1").mode), L" 1");
    EXPECT_EQ(Value(ReadKeyLine(L"PROTECTION_CLIENT_ID = 12 x  ").clientId), L"12 x  ");
    EXPECT_EQ(Value(ReadKeyLine(L"PROTECTION_MODE = ").mode), L"");
    // The first occurrence counts.
    EXPECT_EQ(Value(ReadKeyLine(L"PROTECTION_MODE = PROTECTION_MODE = 2").mode),
              L"PROTECTION_MODE = 2");
}

TEST(SettingsKeys, KeysMatchOnlyExactly) {
    for (const wchar_t* line : {L"PROTECTION_MODE=1", L"PROTECTION_MODE =1", L"PROTECTION_MODE= 1",
                                L"protection_mode = 1", L"PROTECTION_ID = 0", L"[DEFAULT]", L""}) {
        const KeyLineValues values = ReadKeyLine(line);
        EXPECT_FALSE(values.mode || values.chronicle || values.clientId || values.logoShown)
            << std::string(line, line + wcslen(line));
    }
}

TEST(SettingsKeys, LogoNeedsTheWholeTextWithOne) {
    EXPECT_TRUE(ReadKeyLine(L"PROTECTION_LOGO = 1").logoShown);
    EXPECT_TRUE(ReadKeyLine(L"PROTECTION_LOGO = 10").logoShown);
    EXPECT_FALSE(ReadKeyLine(L"PROTECTION_LOGO = 0").logoShown);
    EXPECT_FALSE(ReadKeyLine(L"PROTECTION_LOGO = ").logoShown);
    EXPECT_FALSE(ReadKeyLine(L"PROTECTION_LOGO =1").logoShown);
}

TEST(SettingsKeys, OneLineCanServeSeveralKeys) {
    const KeyLineValues values = ReadKeyLine(L"PROTECTION_MODE = 2 PROTECTION_LOGO = 1");
    EXPECT_EQ(Value(values.mode), L"2 PROTECTION_LOGO = 1");
    EXPECT_TRUE(values.logoShown);
    EXPECT_FALSE(values.chronicle);
}

TEST(SettingsKeys, RewriteFollowsTheFirstMatchingRow) {
    const SavedValues values{L"1", L"2", L"57", false};
    EXPECT_EQ(RewriteLine(L"PROTECTION_MODE = 0", values), L"PROTECTION_MODE = 1");
    EXPECT_EQ(RewriteLine(L"PROTECTION_CHRONICLE = 0", values), L"PROTECTION_CHRONICLE = 2");
    EXPECT_EQ(RewriteLine(L"PROTECTION_CLIENT_ID = 0", values), L"PROTECTION_CLIENT_ID = 57");
    // The mode row comes before the logo row.
    EXPECT_EQ(RewriteLine(L"PROTECTION_LOGO = 1 PROTECTION_MODE = 0", values),
              L"PROTECTION_MODE = 1");
    // The whole line is replaced: indentation and trailing text go.
    EXPECT_EQ(RewriteLine(L"  #PROTECTION_CHRONICLE = 0 old", values), L"PROTECTION_CHRONICLE = 2");
}

TEST(SettingsKeys, RewriteWritesZeroForEmptyTextsAndTheLogoByTheCheckBox) {
    const SavedValues empty{L"", L"", L"", true};
    EXPECT_EQ(RewriteLine(L"PROTECTION_MODE = 2", empty), L"PROTECTION_MODE = 0");
    EXPECT_EQ(RewriteLine(L"PROTECTION_CHRONICLE = 2", empty), L"PROTECTION_CHRONICLE = 0");
    EXPECT_EQ(RewriteLine(L"PROTECTION_CLIENT_ID = 9", empty), L"PROTECTION_CLIENT_ID = 0");
    EXPECT_EQ(RewriteLine(L"PROTECTION_LOGO = ", empty), L"PROTECTION_LOGO = 1");
    EXPECT_EQ(RewriteLine(L"PROTECTION_LOGO = 7", SavedValues{L"", L"", L"", false}),
              L"PROTECTION_LOGO = 0");
    // Values are written as held, without trimming.
    EXPECT_EQ(RewriteLine(L"PROTECTION_MODE = 0", SavedValues{L"12 x ", L"", L"", false}),
              L"PROTECTION_MODE = 12 x ");
}

TEST(SettingsKeys, LinesWithoutKeyTextStayUnchanged) {
    const SavedValues values{L"1", L"2", L"3", true};
    for (const wchar_t* line : {L"[DEFAULT]", L"PROTECTION_ID = 5", L"PROTECTION_MODE=1", L"",
                                L"; comment", L"OTHER_KEY = 1"}) {
        EXPECT_EQ(RewriteLine(line, values), line);
    }
}
