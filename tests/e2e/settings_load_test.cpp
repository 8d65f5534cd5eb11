// Loading game.dat at start-up, seen from outside: the file a fresh start
// creates, the forms a file may come in, keys wherever they stand in a line,
// and values shown exactly as the file holds them.
#include "tests/e2e/SettingsDriver.h"

namespace e2e {
namespace {

class SettingsLoadTest : public SettingsTest {};

// The same text as UTF-16 with its byte order mark; `text` is ASCII.
std::string Utf16WithMark(std::string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) {
        if (bigEndian) bytes += '\0';
        bytes += c;
        if (!bigEndian) bytes += '\0';
    }
    return bytes;
}

TEST_F(SettingsLoadTest, FreshStartCreatesTheDefaultFileAndShowsIt) {
    ASSERT_FALSE(Folder().Exists(kSettingsFile));
    ASSERT_NE(StartMain(), nullptr);
    std::optional<std::string> created = ReadSettings();
    ASSERT_TRUE(created.has_value()) << "no game.dat beside the exe";
    EXPECT_EQ(created->size(), 124u);
    EXPECT_EQ(Visible(*created), Visible(kDefaultSettingsBytes)) << "six lines, CR LF, no byte order mark";
    EXPECT_EQ(FilesIn(Folder().Path()), (std::vector<std::wstring>{L"KorvaneCFG.exe", L"game.dat"}));
    EXPECT_EQ(Shown(), (ShownSettings{L"0", L"0", L"0", true, 0, 0}));
}

TEST_F(SettingsLoadTest, EmptyFileIsLoadedAsItIsAndNotRecreated) {
    ASSERT_NE(StartWith(""), nullptr);
    EXPECT_EQ(Shown(), (ShownSettings{L"0", L"0", L"", false, 0, 0}));
    EXPECT_EQ(ReadSettings(), std::optional<std::string>(""));
}

// A file in some form, and the name of that form.
struct FileForm {
    const char* name;
    std::string bytes;
};

class SettingsFileFormTest : public SettingsTest, public ::testing::WithParamInterface<FileForm> {};

// Every form holds mode 2, chronicle 3, the logo on and build ID 57; loaded,
// each shows exactly that.
TEST_P(SettingsFileFormTest, LoadsTheSameValues) {
    ASSERT_NE(StartWith(GetParam().bytes), nullptr);
    EXPECT_EQ(Shown(), (ShownSettings{L"2", L"3", L"57", true, 2, 2})) << Visible(GetParam().bytes);
}

constexpr char kFormText[] =
    "[DEFAULT]\r\nPROTECTION_MODE = 2\r\nPROTECTION_CHRONICLE = 3\r\nPROTECTION_LOGO = 1\r\n"
    "PROTECTION_CLIENT_ID = 57\r\n";

INSTANTIATE_TEST_SUITE_P(
    SettingsForms, SettingsFileFormTest,
    ::testing::Values(
        FileForm{"CrLf", kFormText},
        FileForm{"LfOnly",
                 "[DEFAULT]\nPROTECTION_MODE = 2\nPROTECTION_CHRONICLE = 3\nPROTECTION_LOGO = 1\n"
                 "PROTECTION_CLIENT_ID = 57\n"},
        // Each lone CR ends a line: read as one line, the mode would take
        // in the rest of the file.
        FileForm{"LoneCr",
                 "[DEFAULT]\rPROTECTION_MODE = 2\rPROTECTION_CHRONICLE = 3\rPROTECTION_LOGO = 1\r"
                 "PROTECTION_CLIENT_ID = 57\r"},
        FileForm{"MixedBreaksNoFinalBreak",
                 "[DEFAULT]\rPROTECTION_MODE = 2\nPROTECTION_CHRONICLE = 3\r\n\r\rPROTECTION_LOGO = 1\n\n"
                 "PROTECTION_CLIENT_ID = 57"},
        FileForm{"Utf8Mark", std::string("\xEF\xBB\xBF") + kFormText},
        // A mark straight before a key: the key line is the first line.
        FileForm{"Utf8MarkBeforeKey",
                 "\xEF\xBB\xBFPROTECTION_MODE = 2\r\nPROTECTION_CHRONICLE = 3\r\nPROTECTION_LOGO = 1\r\n"
                 "PROTECTION_CLIENT_ID = 57\r\n"},
        FileForm{"Utf16LittleEndian", Utf16WithMark(kFormText, false)},
        FileForm{"Utf16BigEndian", Utf16WithMark(kFormText, true)},
        // Ctrl-Z is a character like any other: what follows it still counts.
        FileForm{"CtrlZ",
                 "[DEFAULT]\r\nPROTECTION_MODE = 0\r\n\x1A\r\nPROTECTION_MODE = 2\r\nx\x1Ay\r\n"
                 "PROTECTION_CHRONICLE = 3\r\nPROTECTION_LOGO = 1\r\nPROTECTION_CLIENT_ID = 57\r\n\x1A"}),
    [](const ::testing::TestParamInfo<FileForm>& form) { return std::string(form.param.name); });

TEST_F(SettingsLoadTest, KeysAreFoundAnywhereInALineAndTheirValuesFollowThem) {
    ASSERT_NE(StartWith(CrLfLines({"[DEFAULT]",
                                   "  PROTECTION_MODE = 1",
                                   "#PROTECTION_CHRONICLE = 3",
                                   "\tPROTECTION_LOGO = 1",
                                   "\xEF\xBB\xBFPROTECTION_CLIENT_ID = 12"})),
              nullptr);
    EXPECT_EQ(Shown(), (ShownSettings{L"1", L"3", L"12", true, 1, 2}));
}

TEST_F(SettingsLoadTest, ValuesAreShownWholeWithTheirTrailingText) {
    ASSERT_NE(StartWith(CrLfLines({"PROTECTION_MODE = 1 x",
                                   "PROTECTION_CHRONICLE =    3  ",
                                   "PROTECTION_LOGO = 10",
                                   "PROTECTION_CLIENT_ID = 12 x"})),
              nullptr);
    // Leading blanks go; everything after the first other character stays,
    // and a code with trailing text matches no item.
    EXPECT_EQ(Shown(), (ShownSettings{L"1 x", L"3  ", L"12 x", true, kNoItem, kNoItem}));
}

TEST_F(SettingsLoadTest, ABuildIdLongerThanTheFieldTakesIsShownWhole) {
    ASSERT_NE(StartWith(CrLfLines({"PROTECTION_MODE = 12", "PROTECTION_CLIENT_ID = 12345"})), nullptr);
    EXPECT_EQ(Shown(), (ShownSettings{L"12", L"0", L"12345", false, kNoItem, 0}));
}

TEST_F(SettingsLoadTest, OtherLogoValuesLeaveTheBoxUnchecked) {
    ASSERT_NE(StartWith(CrLfLines({"PROTECTION_LOGO = 0", "PROTECTION_LOGO = 2", "PROTECTION_LOGO=1",
                                   "protection_logo = 1"})),
              nullptr);
    EXPECT_FALSE(Shown().logo);
}

}  // namespace
}  // namespace e2e
