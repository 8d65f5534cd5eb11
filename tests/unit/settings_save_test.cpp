// Loading and saving game.dat as a whole: what a save writes, and that
// loading afterwards sees exactly the values the save wrote, whatever form
// the file had before.
#include <gtest/gtest.h>

#include <iterator>
#include <random>

#include "framework/errors/Exceptions.h"
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

namespace {
// The lines of `bytes` cut the plain way, one byte at a time: at CR LF, LF
// or a lone CR, with no empty line after a final break.
std::vector<std::string> PlainLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') {
            line += bytes[i];
            continue;
        }
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

// The text of a line in code page 1252 whose only byte above 0x7F is E9 (é).
std::wstring Widened(const std::string& bytes) {
    std::wstring text;
    for (const char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

// Files of random pieces: key texts whole and in parts, every kind of line
// break, long lines that run across the readers' 64 KB chunks.
std::string RandomSettingsBytes(std::mt19937& random) {
    static const char* const pieces[] = {
        "a", "x = 1", " ", "\r", "\n", "\r\n", "\r\n", "\r\n", "\n\r", "\xE9", "P", "PROTECTION",
        "PROTECTION_", "PROTECTION_MODE = 7", "  PROTECTION_CHRONICLE = 2", "PROTECTION_LOGO = 0",
        "#PROTECTION_CLIENT_ID = 4", "PROTECTION_ID = 9"};
    std::string bytes;
    const size_t target = 20'000 + random() % 200'000;
    while (bytes.size() < target) {
        if (random() % 400 == 0)
            bytes.append(40'000 + random() % 90'000, static_cast<char>('b' + random() % 3));
        else
            bytes += pieces[random() % std::size(pieces)];
    }
    return bytes;
}
}  // namespace

// Lines without a key text pass through the readers and the save in runs,
// not one by one: whatever the runs and the chunks, loading must find and
// saving rewrite exactly the lines that cutting the file byte by byte gives.
TEST_F(SettingsSave, RunsOfLinesGiveTheSameResultAsLineByLine) {
    std::mt19937 random(20261209);
    const SavedValues values{L"1", L"3", L"57", true};
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        const std::string bytes = RandomSettingsBytes(random);
        std::vector<std::wstring> keyLines;
        std::string saved;
        for (const std::string& line : PlainLines(bytes)) {
            if (line.find("PROTECTION_") != std::string::npos) keyLines.push_back(Widened(line));
            const std::wstring rewritten = RewriteLine(Widened(line), values);
            saved += rewritten == Widened(line) ? line : std::string(rewritten.begin(), rewritten.end());
            saved += "\r\n";
        }
        WriteBytes(path_, bytes);

        TLineReader reader;
        reader.Open(path_);
        std::vector<std::wstring> found;
        for (std::wstring line; reader.ReadLineWith(kKeyPrefix, line);) found.push_back(line);
        reader.Close();
        EXPECT_TRUE(found == keyLines) << found.size() << " key lines found, " << keyLines.size() << " expected";

        SaveSettingsFile(path_, values);
        EXPECT_TRUE(ReadBytes(path_) == saved);
    }
}

// Where the 64 KiB chunks of the save's reading end: between the CR and the
// LF of a line break, right before a line break, and inside a key text. The
// lines that pass through the save whole and those it rewrites come out the
// same as anywhere else.
TEST_F(SettingsSave, ChunkEdgesSplitNoLineBreakAndNoKeyText) {
    constexpr size_t kChunk = 65536;
    std::string bytes = "PROTECTION_MODE = 0\r\n";
    bytes += std::string(kChunk - 1 - bytes.size(), 'a');
    bytes += "\r\nb\rc\r\nPROTECTION_LOGO = 1\r\n";
    const std::string ds(2 * kChunk - bytes.size(), 'd');
    bytes += ds + "\nPROTECTION_CHRONICLE = 0\r\n";
    bytes += std::string(3 * kChunk - 5 - bytes.size(), 'e');
    bytes += "PROTECTION_CLIENT_ID = 7";
    WriteBytes(path_, bytes);
    const Loaded loaded = Load(path_);
    EXPECT_EQ(loaded.mode, L"0");
    EXPECT_TRUE(loaded.logoShown);
    EXPECT_EQ(loaded.clientId, L"7");
    SaveSettingsFile(path_, SavedValues{L"2", L"3", L"8", false});
    std::string expected = "PROTECTION_MODE = 2\r\n" + std::string(kChunk - 1 - 21, 'a');
    expected += "\r\nb\r\nc\r\nPROTECTION_LOGO = 0\r\n" + ds + "\r\nPROTECTION_CHRONICLE = 3\r\nPROTECTION_CLIENT_ID = 8\r\n";
    EXPECT_TRUE(ReadBytes(path_) == expected);
}
