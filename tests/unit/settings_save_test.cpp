// Loading and saving game.dat as a whole: what a save writes, and that
// loading afterwards sees exactly the values the save wrote, whatever form
// the file had before.
#include <gtest/gtest.h>

#include "framework/Exceptions.h"
#include "settings/LineReader.h"
#include "settings/SettingsSave.h"
#include "tests/unit/settings_test_support.h"

using namespace settings_test;

namespace {
// What loading puts into the window, without the window and the way it
// does it: the last value of each key, leading blanks removed.
struct Loaded {
    std::wstring mode = L"0", chronicle = L"0", clientId;
    bool logoShown = false;
};

std::wstring WithoutLeadingBlanks(const std::wstring& text) {
    return text.substr(std::min(text.size(), text.find_first_not_of(L' ')));
}

Loaded Load(const std::wstring& path) {
    Loaded loaded;
    TLineReader reader;
    reader.Open(path);
    std::wstring line;
    while (reader.ReadLineWith(kKeyPrefix, line)) {
        const KeyLineValues values = ReadKeyLine(line);
        if (values.mode) loaded.mode = WithoutLeadingBlanks(*values.mode);
        if (values.chronicle) loaded.chronicle = WithoutLeadingBlanks(*values.chronicle);
        if (values.logoShown) loaded.logoShown = true;
        if (values.clientId) loaded.clientId = WithoutLeadingBlanks(*values.clientId);
    }
    reader.Close();
    return loaded;
}

class SettingsSave : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.Created()); }

    TTempFolder folder_;
    const std::wstring path_ = folder_.File(L"game.dat");
    TCodePageScope codePage_{1252};
};
}  // namespace

TEST_F(SettingsSave, DefaultFileWithNewChoices) {
    WriteBytes(path_,
               "[DEFAULT]\r\nPROTECTION_ID = 0\r\nPROTECTION_MODE = 0\r\nPROTECTION_CHRONICLE = 0\r\n"
               "PROTECTION_LOGO = 1\r\nPROTECTION_CLIENT_ID = 0\r\n");
    SaveSettingsFile(path_, SavedValues{L"1", L"0", L"57", false});
    EXPECT_EQ(ReadBytes(path_),
              "[DEFAULT]\r\nPROTECTION_ID = 0\r\nPROTECTION_MODE = 1\r\nPROTECTION_CHRONICLE = 0\r\n"
              "PROTECTION_LOGO = 0\r\nPROTECTION_CLIENT_ID = 57\r\n");
    EXPECT_EQ(folder_.Entries(), std::vector<std::wstring>{L"game.dat"});
}

TEST_F(SettingsSave, OtherLinesSurviveAndKeyLinesAreRewrittenInPlace) {
    WriteBytes(path_, "; note \xE9\r\n\r\n  PROTECTION_MODE = 2 old\r\nOTHER = 1\r\n#PROTECTION_MODE = 0\r\n");
    SaveSettingsFile(path_, SavedValues{L"", L"3", L"", true});
    EXPECT_EQ(ReadBytes(path_),
              "; note \xE9\r\n\r\nPROTECTION_MODE = 0\r\nOTHER = 1\r\nPROTECTION_MODE = 0\r\n");
}

TEST_F(SettingsSave, EmptyFileStaysEmpty) {
    WriteBytes(path_, "");
    SaveSettingsFile(path_, SavedValues{L"1", L"1", L"1", true});
    EXPECT_EQ(ReadBytes(path_), "");
}

// Line breaks, a byte order mark and 0x1A: the save writes CR LF in the
// ANSI code page without a mark, and loading before and after the save
// reads the same values the save read.
TEST_F(SettingsSave, LoadingSeesTheLinesSavingSees) {
    const std::string forms[] = {
        "[DEFAULT]\rPROTECTION_MODE = 2\rPROTECTION_LOGO = 1\rPROTECTION_CLIENT_ID = 7",
        "\xEF\xBB\xBFPROTECTION_MODE = 2\nPROTECTION_LOGO = 1\nPROTECTION_CLIENT_ID = 7\n",
        Bytes("\xFF\xFEP\0R\0O\0T\0E\0C\0T\0I\0O\0N\0_\0M\0O\0D\0E\0 \0=\0 \0002\0\r\0\n\0"
              "P\0R\0O\0T\0E\0C\0T\0I\0O\0N\0_\0L\0O\0G\0O\0 \0=\0 \0001\0\n\0"
              "P\0R\0O\0T\0E\0C\0T\0I\0O\0N\0_\0C\0L\0I\0E\0N\0T\0_\0I\0D\0 \0=\0 \0007\0"),
        "PROTECTION_MODE = 2\x1A\r\nPROTECTION_LOGO = 1\r\nPROTECTION_CLIENT_ID = 7\r\n",
    };
    for (const std::string& form : forms) {
        WriteBytes(path_, form);
        const Loaded before = Load(path_);
        EXPECT_EQ(before.mode.substr(0, 1), L"2");
        EXPECT_TRUE(before.logoShown);
        EXPECT_EQ(before.clientId, L"7");

        SaveSettingsFile(path_, SavedValues{before.mode, before.chronicle, before.clientId,
                                            before.logoShown});
        const std::string saved = ReadBytes(path_);
        EXPECT_EQ(saved.find("\xEF\xBB\xBF"), std::string::npos);
        const Loaded after = Load(path_);
        EXPECT_EQ(after.mode, before.mode);
        EXPECT_TRUE(after.logoShown);
        EXPECT_EQ(after.clientId, L"7");
    }
    // The last form shows 0x1A carried as part of its line.
    EXPECT_EQ(ReadBytes(path_),
              "PROTECTION_MODE = 2\x1A\r\nPROTECTION_LOGO = 1\r\nPROTECTION_CLIENT_ID = 7\r\n");
}

// Lines without a key text come back as the bytes they were, even where
// the code page could not decode them and encode them back the same.
TEST_F(SettingsSave, OtherLinesKeepBytesTheCodePageCannotRoundTrip) {
    TCodePageScope utf8(65001);
    WriteBytes(path_, "caf\xE9 \xFF\xC3\rPROTECTION_MODE = 1\n\xC3\xA9\xE2\x82");
    SaveSettingsFile(path_, SavedValues{L"2", L"0", L"", false});
    EXPECT_EQ(ReadBytes(path_), "caf\xE9 \xFF\xC3\r\nPROTECTION_MODE = 2\r\n\xC3\xA9\xE2\x82\r\n");
    TCodePageScope shiftJis(932);
    // A lead byte with no valid second byte, and one that takes the P of a
    // key text: that line holds no key text and stays as it is.
    WriteBytes(path_, "\x81\x20x\r\n\x95PROTECTION_MODE = 1\r\nPROTECTION_LOGO = 0\r\n");
    SaveSettingsFile(path_, SavedValues{L"2", L"0", L"", true});
    EXPECT_EQ(ReadBytes(path_), "\x81\x20x\r\n\x95PROTECTION_MODE = 1\r\nPROTECTION_LOGO = 1\r\n");
}

// Indented, BOM-prefixed and commented key lines load their real value, so
// that a save does not turn it into "= 1".
TEST_F(SettingsSave, ValuesAfterShiftedKeyTextsSurviveASave) {
    WriteBytes(path_, "\xEF\xBB\xBFPROTECTION_CHRONICLE = 2\r\n  PROTECTION_MODE = 1\r\n"
                      "#PROTECTION_CLIENT_ID = 44\r\n");
    const Loaded loaded = Load(path_);
    EXPECT_EQ(loaded.chronicle, L"2");
    EXPECT_EQ(loaded.mode, L"1");
    EXPECT_EQ(loaded.clientId, L"44");
    SaveSettingsFile(path_, SavedValues{loaded.mode, loaded.chronicle, loaded.clientId, false});
    EXPECT_EQ(ReadBytes(path_),
              "PROTECTION_CHRONICLE = 2\r\nPROTECTION_MODE = 1\r\nPROTECTION_CLIENT_ID = 44\r\n");
}

// A file of many blocks, key lines spread through it, read and written in
// pieces.
TEST_F(SettingsSave, LargeFileIsRewrittenLineForLine) {
    std::string before, after;
    for (int i = 0; i < 30'000; ++i) {
        std::string line = "; line " + std::to_string(i) + " \xE9";
        std::string rewritten = line;
        if (i % 4999 == 17) {
            line = "  PROTECTION_MODE = " + std::to_string(i);
            rewritten = "PROTECTION_MODE = 2";
        } else if (i % 7001 == 5) {
            line = "PROTECTION_LOGO = 0";
            rewritten = "PROTECTION_LOGO = 1";
        }
        before += line + (i % 2 ? "\n" : "\r\n");
        after += rewritten + "\r\n";
    }
    WriteBytes(path_, before);
    SaveSettingsFile(path_, SavedValues{L"2", L"", L"", true});
    EXPECT_TRUE(ReadBytes(path_) == after);
    EXPECT_EQ(folder_.Entries(), std::vector<std::wstring>{L"game.dat"});
}

// A save fails as reading all lines first and then opening the line writer
// would: the reading decides the first two cases, the writer the others.
TEST_F(SettingsSave, FailuresKeepTheirKindsAndLeaveTheFileAlone) {
    const SavedValues values{L"1", L"1", L"1", true};
    EXPECT_THROW(SaveSettingsFile(path_, values), EFOpenError);  // missing
    EXPECT_TRUE(folder_.Entries().empty());

    WriteBytes(path_, "PROTECTION_MODE = 0\r\n");
    const auto expectUnchanged = [&] {
        EXPECT_EQ(ReadBytes(path_), "PROTECTION_MODE = 0\r\n");
        EXPECT_EQ(folder_.Entries(), std::vector<std::wstring>{L"game.dat"});
    };
    {
        THeldFile writer(path_, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        EXPECT_THROW(SaveSettingsFile(path_, values), EFOpenError);
    }
    expectUnchanged();
    {
        THeldFile reader(path_, GENERIC_READ, FILE_SHARE_READ);
        try {
            SaveSettingsFile(path_, values);
            ADD_FAILURE() << "saved a file another handle reads without sharing writes";
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.ErrorCode(), 32);
        }
    }
    expectUnchanged();
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    try {
        SaveSettingsFile(path_, values);
        ADD_FAILURE() << "saved a read-only file";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), 5);
    }
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    expectUnchanged();
}
