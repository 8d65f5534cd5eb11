// Saving through the window: exact bytes after a change, lines without a key
// carried through untouched, every form of file written back as CR LF lines
// in the ANSI code page, and values written back as they are held.
#include "tests/Utf16Bytes.h"
#include "tests/e2e/SettingsDriver.h"

namespace e2e {
namespace {

class SettingsSaveTest : public SettingsTest {};

TEST_F(SettingsSaveTest, ChangesMadeInTheWindowReachTheDefaultFile) {
    ASSERT_NE(StartMain(), nullptr);  // creates the default file
    ASSERT_EQ(ReadSettings(), std::optional<std::string>(kDefaultSettingsBytes));
    Choose(kIdProtectionGrp, 1);  // FULL
    ClickLogo();                  // off
    TypeOverBuildId(L"57");
    EXPECT_EQ(Shown(), (ShownSettings{L"1", L"0", L"57", false, 1, 0}));
    SaveExpecting(
        "[DEFAULT]\r\n"
        "PROTECTION_ID = 0\r\n"
        "PROTECTION_MODE = 1\r\n"
        "PROTECTION_CHRONICLE = 0\r\n"
        "PROTECTION_LOGO = 0\r\n"
        "PROTECTION_CLIENT_ID = 57\r\n");
}

TEST_F(SettingsSaveTest, LinesWithoutAKeyStayByteForByteInPlace) {
    // Lines that only resemble key lines are not key lines (case, blanks).
    const std::initializer_list<std::string_view> before = {
        "; written by hand \xE9\x80\xA0",
        "",
        "[DEFAULT]",
        "PROTECTION_ID = 9",
        "  \t  ",
        "OTHER_KEY = x  ",
        "PROTECTION_MODE = 0",
        "protection_mode = 2",
        "PROTECTION_MODE=2",
        "PROTECTION_MODE =2",
        "[OTHER]",
        "PROTECTION_LOGO = 1",
        "PROTECTION_CLIENT_ID = 0",
        "# PROTECTION_ANYTHING = 3",
        "",
    };
    ASSERT_NE(StartWith(CrLfLines(before)), nullptr);
    Choose(kIdProtectionGrp, 2);
    SaveExpecting(CrLfLines({
        "; written by hand \xE9\x80\xA0",
        "",
        "[DEFAULT]",
        "PROTECTION_ID = 9",
        "  \t  ",
        "OTHER_KEY = x  ",
        "PROTECTION_MODE = 2",
        "protection_mode = 2",
        "PROTECTION_MODE=2",
        "PROTECTION_MODE =2",
        "[OTHER]",
        "PROTECTION_LOGO = 1",
        "PROTECTION_CLIENT_ID = 0",
        "# PROTECTION_ANYTHING = 3",
        "",
    }));
}

// The bytes of the settings every form below holds, as a save writes them:
// CR LF lines, code page 1252, no byte order mark.
const std::string kWrittenBack = CrLfLines({"[DEFAULT]", "PROTECTION_MODE = 2", "caf\xE9", "\x1A",
                                            "PROTECTION_CLIENT_ID = 57", "last"});

struct FileForm {
    const char* name;
    std::string bytes;
};


class SettingsWrittenBackTest : public SettingsTest, public ::testing::WithParamInterface<FileForm> {};

TEST_P(SettingsWrittenBackTest, AsCrLfLinesInTheAnsiCodePageWithoutAMark) {
    ASSERT_NE(StartWith(GetParam().bytes), nullptr);
    EXPECT_EQ(Shown(), (ShownSettings{L"2", L"0", L"57", false, 2, 0}));
    SaveExpecting(kWrittenBack);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsForms, SettingsWrittenBackTest,
    ::testing::Values(
        FileForm{"LfOnlyNoFinalBreak", "[DEFAULT]\nPROTECTION_MODE = 2\ncaf\xE9\n\x1A\nPROTECTION_CLIENT_ID = 57\nlast"},
        FileForm{"LoneCr", "[DEFAULT]\rPROTECTION_MODE = 2\rcaf\xE9\r\x1A\rPROTECTION_CLIENT_ID = 57\rlast\r"},
        FileForm{"Utf8Mark",
                 "\xEF\xBB\xBF[DEFAULT]\r\nPROTECTION_MODE = 2\r\ncaf\xC3\xA9\r\n\x1A\r\n"
                 "PROTECTION_CLIENT_ID = 57\r\nlast\r\n"},
        FileForm{"Utf16LittleEndian",
                 Utf16(L"[DEFAULT]\r\nPROTECTION_MODE = 2\r\ncaf\u00E9\r\n\x1A\r\nPROTECTION_CLIENT_ID = 57\r\nlast", false)},
        FileForm{"Utf16BigEndian",
                 Utf16(L"[DEFAULT]\nPROTECTION_MODE = 2\ncaf\u00E9\n\x1A\nPROTECTION_CLIENT_ID = 57\nlast\n", true)}),
    [](const ::testing::TestParamInfo<FileForm>& form) { return std::string(form.param.name); });

// A check mark is not in code page 1252: rather than write "?" for it, the
// save keeps the file's encoding and its mark, and the line's bytes.
TEST_F(SettingsSaveTest, AFileWithAMarkKeepsItsEncodingWhereTheAnsiCodePageCannotHoldALine) {
    ASSERT_NE(StartWith("\xEF\xBB\xBF; caf\xC3\xA9 \xE2\x9C\x93\nPROTECTION_MODE = 2\n\xFF invalid"), nullptr);
    Choose(kIdProtectionGrp, 1);
    SaveExpecting("\xEF\xBB\xBF; caf\xC3\xA9 \xE2\x9C\x93\r\nPROTECTION_MODE = 1\r\n\xFF invalid\r\n");
}

TEST_F(SettingsSaveTest, AUtf16FileKeepsItsEncodingWhereTheAnsiCodePageCannotHoldALine) {
    ASSERT_NE(StartWith(Utf16(L"; \u2713\nPROTECTION_MODE = 2\n\xD800", true)), nullptr);
    Choose(kIdProtectionGrp, 1);
    SaveExpecting(Utf16(L"; \u2713\r\nPROTECTION_MODE = 1\r\n\xD800\r\n", true));
}

TEST_F(SettingsSaveTest, ValuesAreWrittenBackAsHeld) {
    ASSERT_NE(StartWith(CrLfLines({"PROTECTION_MODE = 1 x", "PROTECTION_CHRONICLE =    3  ", "PROTECTION_LOGO = 10",
                                   "PROTECTION_CLIENT_ID = 12345"})),
              nullptr);
    SaveExpecting(CrLfLines({"PROTECTION_MODE = 1 x", "PROTECTION_CHRONICLE = 3  ", "PROTECTION_LOGO = 1",
                             "PROTECTION_CLIENT_ID = 12345"}));
}

// Key lines that do not begin with their key are read by the value after the
// key, so a save writes that value back, not "= 1".
TEST_F(SettingsSaveTest, KeyLinesNotAtTheLineStartAreWrittenAsBareKeyLines) {
    ASSERT_NE(StartWith(CrLfLines({"  PROTECTION_MODE = 1", "#PROTECTION_CHRONICLE = 3",
                                   "\xEF\xBB\xBFPROTECTION_CLIENT_ID = 12", "x PROTECTION_LOGO = 1 y"})),
              nullptr);
    SaveExpecting(CrLfLines({"PROTECTION_MODE = 1", "PROTECTION_CHRONICLE = 3", "PROTECTION_CLIENT_ID = 12",
                             "PROTECTION_LOGO = 1"}));
}

TEST_F(SettingsSaveTest, LinesAnotherProgramAddedAfterStartUpSurvive) {
    ASSERT_NE(StartWith(kDefaultSettingsBytes), nullptr);
    WriteSettings(std::string(kDefaultSettingsBytes) + "ADDED = 1\r\nPROTECTION_MODE = 7\r\n");
    Choose(kIdProtectionGrp, 1);
    SaveExpecting(CrLfLines({"[DEFAULT]", "PROTECTION_ID = 0", "PROTECTION_MODE = 1", "PROTECTION_CHRONICLE = 0",
                             "PROTECTION_LOGO = 1", "PROTECTION_CLIENT_ID = 0", "ADDED = 1",
                             "PROTECTION_MODE = 1"}));
}

// A file that any rewrite would change (UTF-16, LF breaks, no final break).
TEST_F(SettingsSaveTest, ClosingWithoutSavingLeavesTheFileByteForByte) {
    const std::string file = Utf16(L"PROTECTION_MODE = 0\nPROTECTION_LOGO = 0\nPROTECTION_CLIENT_ID = 7", false);
    ASSERT_NE(StartWith(file), nullptr);
    Choose(kIdProtectionGrp, 2);
    ClickLogo();
    TypeOverBuildId(L"99");
    ASSERT_EQ(Shown(), (ShownSettings{L"2", L"0", L"99", true, 2, 0}));
    CloseWithoutSaving();
    ExpectBytes(ReadSettings(), file);
    EXPECT_EQ(FilesIn(Folder().Path()), (std::vector<std::wstring>{L"KorvaneCFG.exe", L"game.dat"}));
}

}  // namespace
}  // namespace e2e
