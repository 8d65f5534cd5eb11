// The two writers: exact bytes in each code page, and that a save replaces
// game.dat as a whole or not at all, leaving no temporary file.
#include <gtest/gtest.h>

#include "tests/TestThread.h"

#include <atomic>

#include "framework/errors/Exceptions.h"
#include "settings/LineWriter.h"
#include "settings/ListWriter.h"
#include "settings/ReplacementFile.h"
#include "settings/SettingsKeys.h"
#include "tests/unit/settings_test_support.h"

using namespace settings_test;

namespace {
class SettingsWriters : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.Created()); }

    void WriteLines(const std::vector<std::wstring>& lines) {
        TLineWriter writer;
        writer.Open(path_);
        for (const std::wstring& line : lines) writer.WriteLine(line);
        writer.Close();
    }

    std::vector<std::wstring> OnlyGameDat() const { return {L"game.dat"}; }

    TTempFolder folder_;
    const std::wstring path_ = folder_.File(L"game.dat");
};

const char kDefaultBytes[] =
    "[DEFAULT]\r\nPROTECTION_ID = 0\r\nPROTECTION_MODE = 0\r\nPROTECTION_CHRONICLE = 0\r\n"
    "PROTECTION_LOGO = 1\r\nPROTECTION_CLIENT_ID = 0\r\n";
}  // namespace

TEST_F(SettingsWriters, LineWriterWritesEachLineInTheAnsiCodePageWithCrLf) {
    WriteBytes(path_, "\xEF\xBB\xBFold content without a break");
    {
        TCodePageScope codePage(1252);
        WriteLines({L"a", L"", L"\xE9\x20AC", L"\x8868"});  // 表 has no 1252 byte
        EXPECT_EQ(ReadBytes(path_), "a\r\n\r\n\xE9\x80\r\n?\r\n");
    }
    {
        TCodePageScope codePage(932);
        WriteLines({L"\x8868\xFF71"});
        EXPECT_EQ(ReadBytes(path_), "\x95\x5C\xB1\r\n");
    }
    {
        TCodePageScope codePage(65001);  // no byte order mark from the line writer
        WriteLines({L"\xE9", std::wstring(L"n\0l", 3)});
        EXPECT_EQ(ReadBytes(path_), Bytes("\xC3\xA9\r\nn\0l\r\n"));
    }
    WriteLines({});
    EXPECT_EQ(ReadBytes(path_), "");
    EXPECT_EQ(folder_.Entries(), OnlyGameDat());
}

TEST_F(SettingsWriters, LineWriterKeepsEveryLineAcrossItsBlocks) {
    TCodePageScope codePage(932);
    std::vector<std::wstring> lines;
    std::string expected;
    // Plain ASCII lines take a shorter way than the others; the order must
    // hold wherever the two meet and wherever the blocks end.
    for (int i = 0; i < 60'000; ++i) {
        const bool ascii = i % 3 != 0 && i % 7000 > 2000;
        lines.push_back(L"PROTECTION_CLIENT_ID = " + std::to_wstring(i) + (ascii ? L"" : L"\x8868"));
        expected += "PROTECTION_CLIENT_ID = " + std::to_string(i) + (ascii ? "" : "\x95\x5C") + "\r\n";
    }
    WriteLines(lines);
    EXPECT_EQ(ReadBytes(path_), expected);
}

TEST_F(SettingsWriters, ListWriterCreatesTheDefaultFileExactly) {
    {
        TCodePageScope codePage(1252);
        WriteAllLines(path_, DefaultSettingsLines());
        EXPECT_EQ(ReadBytes(path_), kDefaultBytes);
        EXPECT_EQ(ReadBytes(path_).size(), 124u);
        EXPECT_EQ(folder_.Entries(), OnlyGameDat());
    }
    DeleteFileW(path_.c_str());
    {
        TCodePageScope codePage(65001);
        WriteAllLines(path_, DefaultSettingsLines());
        EXPECT_EQ(ReadBytes(path_), std::string("\xEF\xBB\xBF") + kDefaultBytes);
    }
    DeleteFileW(path_.c_str());
    {
        TCodePageScope codePage(932);
        WriteAllLines(path_, {L"\x8868", L""});
        EXPECT_EQ(ReadBytes(path_), "\x95\x5C\r\n\r\n");
    }
}

TEST_F(SettingsWriters, FileKeepsItsOldContentUntilCloseSucceeds) {
    WriteBytes(path_, "old\r\n");
    TLineWriter writer;
    writer.Open(path_);
    for (int i = 0; i < 50'000; ++i) writer.WriteLine(L"new line that fills several blocks");
    EXPECT_TRUE(ReadBytes(path_) == "old\r\n") << "replaced before Close";
    writer.Close();
    EXPECT_EQ(ReadBytes(path_).size(), 50'000u * 36);
    EXPECT_EQ(folder_.Entries(), OnlyGameDat());
}

TEST_F(SettingsWriters, WriterDroppedWithoutCloseLeavesTheOldFileAndNoTemporary) {
    WriteBytes(path_, "old\r\n");
    {
        TLineWriter writer;
        writer.Open(path_);
        for (int i = 0; i < 50'000; ++i) writer.WriteLine(L"new line that fills several blocks");
        EXPECT_TRUE(FileExists(path_ + L".saving"));
    }
    EXPECT_TRUE(ReadBytes(path_) == "old\r\n") << "replaced without Close";
    EXPECT_EQ(folder_.Entries(), OnlyGameDat());
}

TEST_F(SettingsWriters, MissingFileIsCreatedOnlyByClose) {
    TLineWriter writer;
    writer.Open(path_);
    writer.WriteLine(L"x");
    EXPECT_FALSE(FileExists(path_));
    writer.Close();
    EXPECT_EQ(ReadBytes(path_), "x\r\n");
}

TEST_F(SettingsWriters, HiddenFileStaysHidden) {
    WriteBytes(path_, "old\r\n");
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_HIDDEN));
    WriteLines({L"new"});
    EXPECT_EQ(ReadBytes(path_), "new\r\n");
    EXPECT_TRUE(GetFileAttributesW(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(folder_.Entries(), OnlyGameDat());
}

// Someone (a virus scanner, an indexer) holding the file for a moment does
// not fail the save; someone holding it for good does, and nothing changes.
TEST_F(SettingsWriters, ReplaceWaitsBrieflyForOthersToLetGo) {
    WriteBytes(path_, "old\r\n");
    {
        THeldFile scanner(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(scanner.IsOpen());
        TLineWriter writer;
        writer.Open(path_);
        writer.WriteLine(L"new");
        TestThread release([&] {
            Sleep(200);
            scanner.Release();
        });
        EXPECT_NO_THROW(writer.Close());
        release.join();
    }
    EXPECT_EQ(ReadBytes(path_), "new\r\n");

    THeldFile holder(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    TLineWriter writer;
    writer.Open(path_);
    writer.WriteLine(L"newer");
    const ULONGLONG start = GetTickCount64();
    try {
        writer.Close();
        FAIL() << "replaced a file held open";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.ErrorCode() == 5 || e.ErrorCode() == 32) << e.ErrorCode();
    }
    EXPECT_LT(GetTickCount64() - start, 3000u);
    holder.Release();
    EXPECT_EQ(ReadBytes(path_), "new\r\n");
    EXPECT_EQ(folder_.Entries(), OnlyGameDat());
}

TEST_F(SettingsWriters, CleanUpRemovesTheTemporaryOfAKilledSave) {
    WriteBytes(path_, "old\r\n");
    WriteBytes(path_ + L".saving", "half a ne");
    SetFileAttributesW((path_ + L".saving").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CleanUpInterruptedSave(path_);
    EXPECT_EQ(ReadBytes(path_), "old\r\n");
    EXPECT_EQ(folder_.Entries(), OnlyGameDat());
    EXPECT_NO_THROW(CleanUpInterruptedSave(path_));  // nothing to do
}

TEST(SettingsLongPaths, TemporaryFileBesideAPathOfMaximalLength) {
    TTempFolder folder;
    std::wstring dir = folder.Path();
    while (dir.size() + 1 + 8 < 259) {
        dir += L"\\" + std::wstring(std::min<size_t>(20, 259 - dir.size() - 10), L'd');
        ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    }
    const std::wstring path = dir + L"\\game.dat";
    ASSERT_EQ(path.size(), 259u);
    WriteBytes(path, "old\r\n");
    TLineWriter writer;
    writer.Open(path);
    writer.WriteLine(L"new");
    writer.Close();
    EXPECT_EQ(ReadBytes(path), "new\r\n");
    EXPECT_FALSE(FileExists(path + L".saving"));
}

// A reader that opens game.dat again and again while saves run sees either
// the old or the new content, never a mixture or a part.
TEST_F(SettingsWriters, ConcurrentReaderNeverSeesAPartialFile) {
    std::string contents[2];
    std::vector<std::wstring> lines[2];
    for (int version = 0; version < 2; ++version) {
        for (int i = 0; i < 3000; ++i) {
            const std::string line = "PROTECTION_CLIENT_ID = " + std::to_string(version * 1000 + i);
            contents[version] += line + "\r\n";
            lines[version].push_back(std::wstring(line.begin(), line.end()));
        }
    }
    WriteBytes(path_, contents[0]);

    std::atomic<bool> stop{false};
    std::atomic<int> reads{0}, partial{0};
    TestThread reader([&] {
        while (!stop) {
            bool opened = false;
            const std::string seen = ReadBytes(path_, &opened);
            if (!opened) continue;
            ++reads;
            if (seen != contents[0] && seen != contents[1]) ++partial;
            Sleep(1);  // a reader that never lets go would block every replace
        }
    });
    int failures = 0;
    for (int i = 1; i <= 60; ++i) {
        try {
            TLineWriter writer;
            writer.Open(path_);
            for (const std::wstring& line : lines[i % 2]) writer.WriteLine(line);
            writer.Close();
        } catch (const EInOutError& e) {
            ADD_FAILURE() << "save " << i << " failed with " << e.ErrorCode();
            ++failures;
        }
    }
    stop = true;
    reader.join();
    EXPECT_EQ(partial, 0);
    EXPECT_GT(reads, 60);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(folder_.Entries(), OnlyGameDat());
}

// Needs a folder on a small file system that the test can fill, given in
// KV_SMALL_DISK_DIR: the test command mounts a 16 MB tmpfs for it as root.
TEST(SettingsDiskFull, FullDiskLeavesTheOldFileAndNoTemporary) {
    wchar_t dir[MAX_PATH];
    if (GetEnvironmentVariableW(L"KV_SMALL_DISK_DIR", dir, MAX_PATH) == 0)
        GTEST_SKIP() << "KV_SMALL_DISK_DIR not set";
    ULARGE_INTEGER available{}, total{}, free{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(dir, &available, &total, &free)) << GetLastError();
    // Without root the folder is an ordinary one on a real disk.
    if (total.QuadPart > (64ull << 20)) GTEST_SKIP() << "no small file system: mounting one takes root";
    TTempFolder folder(dir);
    ASSERT_TRUE(folder.Created());
    const std::wstring path = folder.File(L"game.dat");
    WriteBytes(path, "old\r\n");
    TLineWriter writer;
    int code = 0;
    try {
        writer.Open(path);
        for (int i = 0; i < 2'000'000; ++i) writer.WriteLine(L"a line that will not fit on the disk");
        writer.Close();
    } catch (const EInOutError& e) {
        code = e.ErrorCode();
    }
    EXPECT_TRUE(code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) << code;
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    EXPECT_EQ(folder.Entries(), std::vector<std::wstring>{L"game.dat"});
}
