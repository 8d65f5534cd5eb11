// game.dat on the disk: the errors, codes and texts of loading, creating and
// saving, that a save replaces the file whole or not at all, and that its
// temporary files never get in the way and never outlive it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "framework/core/Files.h"
#include "framework/errors/Exceptions.h"
#include "settings/SettingsFile.h"
#include "tests/TestThread.h"
#include "tests/unit/settings_test_support.h"

using namespace settings_test;
using namespace std::string_literals;

namespace {
const TWindowValues kFull{L"1", L"0", L"1", L"7"};
const std::vector<std::wstring> kOnlyGameDat{L"game.dat"};

// The I/O result code of the EInOutError that `step` raises, 0 when none.
template <class Step>
int InOutErrorCode(Step step) {
    try {
        step();
    } catch (const EInOutError& e) {
        return e.ErrorCode();
    }
    return 0;
}

template <class Error, class Step>
std::wstring MessageOf(Step step) {
    try {
        step();
    } catch (const Error& e) {
        return e.Message();
    }
    return L"<no error>";
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.Created());
        WriteBytes(path_, kBefore);
    }
    void Save(const TWindowValues& values = kFull) { SaveSettingsFile(path_, values); }
    void ExpectUnchangedAndAlone() {
        EXPECT_EQ(ReadBytes(path_), kBefore);
        EXPECT_EQ(folder_.Entries(), kOnlyGameDat);
    }

    static constexpr char kBefore[] = "PROTECTION_MODE = 0\r\n";
    TTempFolder folder_;
    const std::wstring path_ = folder_.File(L"game.dat");
};

// A path of more than 259 characters to an existing game.dat (Wine's file
// functions accept such paths).
std::wstring MakeLongPath(const TTempFolder& folder) {
    std::wstring dir = folder.Path();
    while (dir.size() < 300) {
        dir += L"\\abcdefghijklmnopqrstuvwxyz";
        CreateDirectoryW(dir.c_str(), nullptr);
    }
    return dir + L"\\game.dat";
}
}  // namespace

TEST_F(SettingsFile, LoadingReadsTheValuesOrNamesTheSystemsCode) {
    const std::string filler(3'000'000, 'x');
    WriteBytes(path_, "PROTECTION_MODE = 1\r\n" + filler + "\r\nPROTECTION_CLIENT_ID = 5\r\n" + filler);
    EXPECT_EQ(LoadSettingsFile(path_), (TLoadedValues{L"1", std::nullopt, std::nullopt, L"5"}));
    EXPECT_EQ(InOutErrorCode([&] { LoadSettingsFile(folder_.File(L"missing.dat")); }), ERROR_FILE_NOT_FOUND);
    {
        THeldFile writer(path_, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(writer.IsOpen());
        EXPECT_EQ(InOutErrorCode([&] { LoadSettingsFile(path_); }), ERROR_SHARING_VIOLATION);
    }
    THeldFile reader(path_, GENERIC_READ, FILE_SHARE_READ);
    EXPECT_EQ(InOutErrorCode([&] { LoadSettingsFile(path_); }), 0) << "another reader is no obstacle";
}

// Loading and saving read the file whole through a handle, and a save may
// write it in place through one: a read or write the system refuses gives its
// code (Wine cannot make a read of an open file fail otherwise).
TEST_F(SettingsFile, WholeReadsAndWritesGiveTheSystemsCode) {
    std::string bytes = "left alone";
    {
        THeldFile writeOnly(path_, GENERIC_WRITE, FILE_SHARE_READ);
        EXPECT_EQ(ReadWhole(writeOnly.Handle(), bytes), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    THeldFile readOnly(path_, GENERIC_READ, FILE_SHARE_READ);
    EXPECT_EQ(WriteAt(readOnly.Handle(), 0, "x"), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    SetFilePointer(readOnly.Handle(), 5, nullptr, FILE_BEGIN);
    EXPECT_EQ(ReadWhole(readOnly.Handle(), bytes), 0u);
    EXPECT_EQ(bytes, kBefore) << "not read whole from the start";
}

TEST_F(SettingsFile, PathsOver259CharactersGiveCode3WithoutTouchingTheFile) {
    const std::wstring longPath = MakeLongPath(folder_);
    WriteBytes(longPath, kBefore);
    EXPECT_EQ(InOutErrorCode([&] { LoadSettingsFile(longPath); }), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(MessageOf<EInOutError>([&] { SaveSettingsFile(longPath, kFull); }), L"Invalid file name - " + longPath);
    EXPECT_EQ(ReadBytes(longPath), kBefore);
    EXPECT_FALSE(FileExists(longPath + L".saving"));
}

TEST_F(SettingsFile, SaveRewritesTheFileAndLeavesNothingElse) {
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_HIDDEN);
    Save();
    EXPECT_EQ(ReadBytes(path_), "PROTECTION_MODE = 1\r\n");
    EXPECT_TRUE(GetFileAttributesW(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN) << "a hidden file stays hidden";
    EXPECT_EQ(folder_.Entries(), kOnlyGameDat);
    // An empty file has no bytes to map: it loads nothing and stays empty.
    WriteBytes(path_, "");
    EXPECT_EQ(LoadSettingsFile(path_), TLoadedValues{});
    Save();
    EXPECT_EQ(ReadBytes(path_), "");
    EXPECT_EQ(folder_.Entries(), kOnlyGameDat);
}

// A save fails as reading all lines and then opening the file for writing
// would: the reading decides the first cases, the writing the others.
TEST_F(SettingsFile, SaveFailuresKeepTheirKindsAndLeaveTheFileAlone) {
    const std::wstring missing = folder_.File(L"missing.dat");
    EXPECT_EQ(MessageOf<EFOpenError>([&] { SaveSettingsFile(missing, kFull); }),
              L"Cannot open file \"" + missing + L"\". " + SystemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(FileExists(missing)) << "a save never creates the file";
    {
        THeldFile writer(path_, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        EXPECT_EQ(MessageOf<EFOpenError>([&] { Save(); }),
                  L"Cannot open file \"" + path_ + L"\". " + SystemErrorText(ERROR_SHARING_VIOLATION));
    }
    ExpectUnchangedAndAlone();
    {
        THeldFile reader(path_, GENERIC_READ, FILE_SHARE_READ);
        EXPECT_EQ(InOutErrorCode([&] { Save(); }), 32);
    }
    ExpectUnchangedAndAlone();
    // Root under Wine could write it: the save refuses by itself.
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(MessageOf<EInOutError>([&] { Save(); }), L"File access denied");
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    ExpectUnchangedAndAlone();
}

// Someone (a virus scanner, an indexer) holding the file for a moment does
// not stop the replace. Someone who keeps holding it but lets others write
// gets it rewritten in place after a second of tries, longer or shorter than
// before, byte for byte, and no temporary file stays.
TEST_F(SettingsFile, AHolderThatLetsOthersWriteGetsTheFileRewrittenInPlace) {
    {
        THeldFile scanner(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(scanner.IsOpen());
        TestThread release([&] {
            Sleep(200);
            scanner.Release();
        });
        EXPECT_NO_THROW(Save());
        release.join();
    }
    EXPECT_EQ(ReadBytes(path_), "PROTECTION_MODE = 1\r\n");

    const std::string tail = std::string(70'000, 'x') + "\r\n";  // moves with the key line before it
    WriteBytes(path_, "PROTECTION_MODE = 1\r\n" + tail);
    for (const wchar_t* mode : {L"12345", L"2", L""}) {
        SCOPED_TRACE(testing::Message() << "a mode of " << wcslen(mode) << " characters");
        THeldFile viewer(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(viewer.IsOpen());
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(InOutErrorCode([&] { Save({mode, L"0", L"0", L""}); }), 0);
        const ULONGLONG took = GetTickCount64() - start;
        EXPECT_GE(took, 900u) << "no replace was tried";
        EXPECT_LT(took, 3000u);
        const std::wstring written = *mode ? mode : L"0";
        EXPECT_TRUE(ReadBytes(path_) == "PROTECTION_MODE = " + std::string(written.begin(), written.end()) + "\r\n" + tail);
        EXPECT_EQ(folder_.Entries(), kOnlyGameDat);
    }
}

// A reader that opens game.dat again and again while saves run sees either
// the old or the new content, never a mixture or a part.
TEST_F(SettingsFile, AConcurrentReaderNeverSeesAPartialFile) {
    std::string contents[2];
    for (int version = 0; version < 2; ++version) {
        for (int i = 0; i < 3000; ++i) contents[version] += "; line " + std::to_string(i) + "\r\n";
        contents[version] += "PROTECTION_MODE = " + std::to_string(version) + "\r\n";
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
    for (int i = 1; i <= 60; ++i) {
        const std::wstring mode = std::to_wstring(i % 2);
        EXPECT_EQ(InOutErrorCode([&] { Save({mode, L"0", L"0", L""}); }), 0) << "save " << i;
    }
    stop = true;
    reader.join();
    EXPECT_EQ(partial, 0);
    EXPECT_GT(reads, 60);
    EXPECT_EQ(folder_.Entries(), kOnlyGameDat);
}

// Many blocks of output, key lines spread through them, runs of other lines
// with every kind of break.
TEST_F(SettingsFile, ALargeFileIsRewrittenLineForLine) {
    std::string before, after;
    for (int i = 0; i < 60'000; ++i) {
        std::string line = "; line " + std::to_string(i) + " \xE9", rewritten = line;
        if (i % 4999 == 17) {
            line = "  PROTECTION_MODE = " + std::to_string(i);
            rewritten = "PROTECTION_MODE = 2";
        } else if (i % 7001 == 5) {
            line = "PROTECTION_LOGO = 0";
            rewritten = "PROTECTION_LOGO = 1";
        }
        before += line + (i % 3 == 0 ? "\n" : i % 3 == 1 ? "\r\n" : i < 30'000 ? "\r\n" : "\r");
        after += rewritten + "\r\n";
    }
    WriteBytes(path_, before);
    Save({L"2", L"", L"1", L""});
    EXPECT_TRUE(ReadBytes(path_) == after);
    EXPECT_EQ(LoadSettingsFile(path_), (TLoadedValues{L"2", std::nullopt, L"1", std::nullopt}));
    EXPECT_EQ(folder_.Entries(), kOnlyGameDat);
}

// A save hands the file small pieces (lines it ends anew, key lines) and
// large ones (runs of lines kept as they are): they arrive in order.
TEST_F(SettingsFile, PiecesOfEverySizeReachTheFileInOrder) {
    std::string run, smalls, smallsAfter;
    for (int i = 0; i < 40'000; ++i) run += "; kept as it is " + std::to_string(i) + "\r\n";
    for (int i = 0; i < 30'000; ++i) {
        smalls += "l" + std::to_string(i) + "\n";
        smallsAfter += "l" + std::to_string(i) + "\r\n";
    }
    WriteBytes(path_, "first\n" + run + "PROTECTION_MODE = 0\n" + smalls + run + "last");
    Save();
    EXPECT_TRUE(ReadBytes(path_) == "first\r\n" + run + "PROTECTION_MODE = 1\r\n" + smallsAfter + run + "last\r\n");
}

TEST_F(SettingsFile, CreationWritesTheBytesAndNeverReplacesAFile) {
    const std::wstring created = folder_.File(L"new.dat");
    CreateSettingsFile(created, "a\r\n");
    EXPECT_EQ(ReadBytes(created), "a\r\n");
    const std::wstring inMissingFolder = folder_.File(L"no such folder\\game.dat");
    EXPECT_EQ(MessageOf<EFCreateError>([&] { CreateSettingsFile(inMissingFolder, "a\r\n"); }),
              L"Cannot create file \"" + inMissingFolder + L"\". " + SystemErrorText(ERROR_PATH_NOT_FOUND));
    // A file that appeared meanwhile is not replaced.
    EXPECT_THROW(CreateSettingsFile(path_, "other\r\n"), EFCreateError);
    DeleteFileW(created.c_str());
    ExpectUnchangedAndAlone();
}

// What bears the temporary file's name does not stop a save,
// and is left where it is.
TEST_F(SettingsFile, NothingBearingTheTemporaryNameBlocksASave) {
    ASSERT_TRUE(CreateDirectoryW(folder_.File(L"game.dat.saving").c_str(), nullptr));
    WriteBytes(folder_.File(L"game.dat.saving.1"), "kept from a killed save");
    THeldFile cannotGo(folder_.File(L"game.dat.saving.1"), GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(cannotGo.IsOpen());
    Save();
    EXPECT_EQ(ReadBytes(path_), "PROTECTION_MODE = 1\r\n");
    EXPECT_EQ(folder_.Entries(), (std::vector<std::wstring>{L"game.dat", L"game.dat.saving", L"game.dat.saving.1"}));
}

TEST_F(SettingsFile, TheNextStartRemovesOnlyTheTemporaryFilesOfKilledSaves) {
    for (const wchar_t* name : {L"game.dat.saving", L"game.dat.saving.1", L"game.dat.saving.27"})
        WriteBytes(folder_.File(name), "half a ne");
    SetFileAttributesW(folder_.File(L"game.dat.saving.1").c_str(), FILE_ATTRIBUTE_READONLY);
    const std::vector<std::wstring> users = {L"game.dat", L"game.dat.saving.01", L"game.dat.saving.1x",
                                             L"game.dat.saving.bak", L"game.dat.savings", L"other.dat.saving"};
    for (const std::wstring& name : users) WriteBytes(folder_.File(name), "the user's");
    ASSERT_TRUE(CreateDirectoryW(folder_.File(L"game.dat.saving.2").c_str(), nullptr));
    CleanUpInterruptedSave(path_);
    std::vector<std::wstring> left = users;
    left.push_back(L"game.dat.saving.2");
    std::sort(left.begin(), left.end());
    EXPECT_EQ(folder_.Entries(), left);
    EXPECT_NO_THROW(CleanUpInterruptedSave(folder_.File(L"missing.dat")));
}

TEST(SettingsLongPaths, TheTemporaryFileBesideAPathOfMaximalLength) {
    TTempFolder folder;
    std::wstring dir = folder.Path();
    while (dir.size() + 1 + 8 < 259) {
        dir += L"\\" + std::wstring(std::min<size_t>(20, 259 - dir.size() - 10), L'd');
        ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    }
    const std::wstring path = dir + L"\\game.dat";
    ASSERT_EQ(path.size(), 259u);
    WriteBytes(path, "PROTECTION_MODE = 0\r\n");
    SaveSettingsFile(path, kFull);
    EXPECT_EQ(ReadBytes(path), "PROTECTION_MODE = 1\r\n");
    EXPECT_FALSE(FileExists(path + L".saving"));
}

// Needs a folder on a small file system that the test can fill, given in
// KV_SMALL_DISK_DIR: the test command mounts a 16 MB tmpfs for it as root.
TEST(SettingsDiskFull, AFullDiskLeavesTheOldFileAndNoTemporary) {
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
    // A file that fits on the disk once, not twice.
    std::string lines;
    while (lines.size() < available.QuadPart * 2 / 3) lines += "; a line that will not fit twice on the disk\r\n";
    WriteBytes(path, lines);
    const int code = InOutErrorCode([&] { SaveSettingsFile(path, kFull); });
    EXPECT_TRUE(code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) << code;
    EXPECT_TRUE(ReadBytes(path) == lines);
    EXPECT_EQ(folder.Entries(), kOnlyGameDat);
    EXPECT_THROW(CreateSettingsFile(folder.File(L"new.dat"), lines), EWriteError);
    EXPECT_EQ(folder.Entries(), kOnlyGameDat);
}
