// The two readers of game.dat: byte order marks, code pages, line breaks and
// the handling of special bytes. Both must give the same lines for the same
// bytes, since loading uses one and saving the other.
#include <gtest/gtest.h>

#include "settings/LineReader.h"
#include "settings/ListReader.h"
#include "tests/unit/settings_test_support.h"

using namespace settings_test;

namespace {
using Lines = std::vector<std::wstring>;

Lines ReadWithLineReader(const std::wstring& path) {
    Lines lines;
    TLineReader reader;
    reader.Open(path);
    while (!reader.AtEnd()) lines.push_back(reader.ReadLine());
    reader.Close();
    return lines;
}

class SettingsReaders : public ::testing::Test {
protected:
    // Writes `bytes` as the file and expects both readers to find `expected`.
    void ExpectLines(std::string_view bytes, const Lines& expected) {
        const std::wstring path = folder_.File(L"game.dat");
        WriteBytes(path, bytes);
        EXPECT_EQ(ReadWithLineReader(path), expected) << "line reader";
        EXPECT_EQ(ReadAllLines(path).ToStrings(), expected) << "list reader";
    }

    TTempFolder folder_;
};
}  // namespace

TEST_F(SettingsReaders, SplitAtCrLfLfAndLoneCr) {
    TCodePageScope codePage(1252);
    ExpectLines("a\r\nb\nc\rd", {L"a", L"b", L"c", L"d"});
    ExpectLines("[DEFAULT]\rPROTECTION_MODE = 1\r", {L"[DEFAULT]", L"PROTECTION_MODE = 1"});
    ExpectLines("\r\r\n\n\r", {L"", L"", L"", L""});
    ExpectLines("x\n\ry", {L"x", L"", L"y"});  // LF CR is two breaks
}

TEST_F(SettingsReaders, BreakAtEndGivesNoExtraLineAndEmptyFileNoLine) {
    TCodePageScope codePage(1252);
    ExpectLines("", {});
    ExpectLines("last", {L"last"});
    ExpectLines("a\r\n", {L"a"});
    ExpectLines("a\r", {L"a"});
    ExpectLines("a\r\n\r\n", {L"a", L""});
    ExpectLines("\r\n", {L""});
}

TEST_F(SettingsReaders, CtrlZAndNulAreOrdinaryCharacters) {
    TCodePageScope codePage(1252);
    ExpectLines(Bytes("PROTECTION_MODE = 1\x1A\r\nPROTECTION_LOGO = 1\r\n\x1A"),
                {L"PROTECTION_MODE = 1\x1A", L"PROTECTION_LOGO = 1", L"\x1A"});
    ExpectLines(Bytes("a\0b\r\n\0"), {std::wstring(L"a\0b", 3), std::wstring(1, L'\0')});
}

TEST_F(SettingsReaders, ByteOrderMarkChoosesEncodingAndIsDropped) {
    TCodePageScope codePage(1252);
    // UTF-8: é is C3 A9, which 1252 would read as two characters.
    ExpectLines("\xEF\xBB\xBFPROTECTION_MODE = 1\r\n\xC3\xA9", {L"PROTECTION_MODE = 1", L"\xE9"});
    // UTF-16 little-endian and big-endian, with a character outside the BMP.
    ExpectLines(Bytes("\xFF\xFE" "a\0\r\0\n\0\xAC\x20=\0\x3D\xD8\x00\xDE\r\0b\0"),
                {L"a", L"\x20AC=\xD83D\xDE00", L"b"});
    ExpectLines(Bytes("\xFE\xFF" "\0a\0\n\x20\xAC\0\r\0\r\0\n"), {L"a", L"\x20AC", L""});
    // A unit cut in half by the end of the file is not dropped silently.
    ExpectLines(Bytes("\xFF\xFE" "a\0b"), {L"a\xFFFD"});
    ExpectLines("\xEF\xBB\xBF", {});
    ExpectLines("\xFF\xFE", {});
    // Only a whole mark counts.
    ExpectLines("\xEF\xBB", {L"\xEF\xBB"});
}

TEST_F(SettingsReaders, WithoutMarkTheAnsiCodePageDecodes) {
    {
        TCodePageScope codePage(1252);
        ExpectLines("\xE9t\xE9\r\n\x80", {L"\xE9t\xE9", L"\x20AC"});
    }
    {
        TCodePageScope codePage(65001);
        ExpectLines("\xC3\xA9t\xC3\xA9\r\n\xE2\x82\xAC", {L"\xE9t\xE9", L"\x20AC"});
    }
    {
        // Shift-JIS: the second byte of 表 and ソ is 5C, the backslash; ｱ is one byte.
        TCodePageScope codePage(932);
        ExpectLines("\x95\x5C\x83\x5C\r\n\xB1", {L"\x8868\x30BD", L"\xFF71"});
    }
}

// The readers decode in chunks of whole lines; characters, CR LF pairs and
// long lines must come through whole wherever the chunks end.
// Loading reads only the lines holding a key text; whether the file is cut
// as bytes or decoded first, it finds the same ones.
TEST_F(SettingsReaders, ReadLineWithFindsExactlyTheLinesHoldingTheText) {
    const auto linesWith = [&](std::string_view bytes) {
        const std::wstring path = folder_.File(L"game.dat");
        WriteBytes(path, bytes);
        Lines lines;
        TLineReader reader;
        reader.Open(path);
        std::wstring line;
        while (reader.ReadLineWith(L"KEY", line)) lines.push_back(line);
        EXPECT_TRUE(line.empty());
        reader.Close();
        return lines;
    };
    TCodePageScope codePage(932);
    EXPECT_EQ(linesWith("a\r\nKEY 1\rb KEY\nKE\r\nY\r\nKEY"), (Lines{L"KEY 1", L"b KEY", L"KEY"}));
    EXPECT_EQ(linesWith("\xEF\xBB\xBFKEY \xC3\xA9\nx\r\n"), Lines{L"KEY \xE9"});
    EXPECT_EQ(linesWith(Bytes("\xFF\xFEK\0E\0Y\0\n\0x\0")), Lines{L"KEY"});
    // 95 4B is one character: its bytes hold KEY, its text does not.
    EXPECT_EQ(linesWith("\x95KEY\r\n\x95\x5CKEY"), Lines{L"\x8868KEY"});
    EXPECT_EQ(linesWith(""), Lines{});
}

TEST_F(SettingsReaders, ChunkEdgesSplitNothing) {
    TCodePageScope codePage(932);
    std::string bytes;
    std::wstring longLine;
    // One line of over 600 KB whose double-byte characters straddle every
    // chunk edge, since it starts at an odd offset.
    bytes += "a\r\n";
    for (int i = 0; i < 300'001; ++i) {
        bytes += "\x95\x5C";
        longLine += L'\x8868';
    }
    bytes += "\r\n";
    Lines expected = {L"a", longLine};
    // Short lines of odd byte lengths after it, with CR LF pairs that fall
    // across chunk edges somewhere in the run.
    for (int i = 0; i < 40'000; ++i) {
        const int count = i % 7;
        std::wstring line;
        for (int j = 0; j < count; ++j) {
            bytes += "\x83\x5C";
            line += L'\x30BD';
        }
        bytes += (i % 3 == 0) ? "x\r\n" : "x\r";
        line += L'x';
        expected.push_back(line);
    }
    ExpectLines(bytes, expected);
}

TEST_F(SettingsReaders, CrLfSplitExactlyAtChunkEdgesIsOneBreak) {
    TCodePageScope codePage(1252);
    // CR as the last byte of the first 64 KiB and of the first 256 KiB, the
    // chunk sizes of the two readers, with the LF right after it.
    std::string bytes(65535, 'a');
    bytes += "\r\n";
    bytes += std::string(262143 - bytes.size(), 'b');
    bytes += "\r\nc";
    ExpectLines(bytes, {std::wstring(65535, L'a'), std::wstring(262143 - 65537, L'b'), L"c"});
}

TEST(SettingsLineReader, AtEndConsumesNothingAndReadingPastTheEndGivesEmptyText) {
    TTempFolder folder;
    const std::wstring path = folder.File(L"game.dat");
    WriteBytes(path, "one\r\ntwo");
    TLineReader reader;
    reader.Open(path);
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), L"one");
    EXPECT_EQ(reader.ReadLine(), L"two");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), L"");
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
    // The same object opens again from the start.
    reader.Open(path);
    EXPECT_EQ(reader.ReadLine(), L"one");
}
