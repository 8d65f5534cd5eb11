// How the four accesses report failures: the kind of error, the system's
// code and the text, and that nothing is left changed or behind.
#include <gtest/gtest.h>

#include "framework/errors/Exceptions.h"
#include "settings/LineReader.h"
#include "settings/LineWriter.h"
#include "settings/ListReader.h"
#include "settings/ListWriter.h"
#include "tests/unit/settings_test_support.h"

using namespace settings_test;

namespace {
// The I/O result code of the EInOutError that `step` raises, 0 when none.
template <class Step>
int InOutErrorCode(Step step) {
    try {
        step();
    } catch (const EInOutError& e) {
        EXPECT_EQ(IOResult(), 0) << "the I/O check must reset the code";
        return e.ErrorCode();
    }
    return 0;
}

class SettingsFileErrors : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.Created());
        WriteBytes(path_, "PROTECTION_MODE = 1\r\n");
    }

    void ExpectUnchangedAndAlone() {
        EXPECT_EQ(ReadBytes(path_), "PROTECTION_MODE = 1\r\n");
        EXPECT_EQ(folder_.Entries(), std::vector<std::wstring>{L"game.dat"});
    }

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

TEST_F(SettingsFileErrors, LineReaderReportsTheSystemsCode) {
    EXPECT_EQ(InOutErrorCode([&] { TLineReader().Open(folder_.File(L"missing.dat")); }), 2);
    {
        THeldFile writer(path_, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(writer.IsOpen());
        TLineReader reader;
        try {
            reader.Open(path_);
            FAIL() << "opened a file another handle is writing";
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.ErrorCode(), 32);
            EXPECT_EQ(e.Message(), L"I/O error 32");
        }
        EXPECT_FALSE(reader.IsOpen());
    }
    // Another reader is no obstacle.
    THeldFile other(path_, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(other.IsOpen());
    EXPECT_EQ(InOutErrorCode([&] { TLineReader().Open(path_); }), 0);
}

TEST_F(SettingsFileErrors, OthersMayReadButNotWriteWhileTheLineReaderReads) {
    TLineReader reader;
    reader.Open(path_);
    THeldFile otherReader(path_, GENERIC_READ, FILE_SHARE_READ);
    EXPECT_TRUE(otherReader.IsOpen());
    THeldFile otherWriter(path_, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_EQ(otherWriter.Error(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

TEST_F(SettingsFileErrors, ListReaderRaisesFOpenErrorNamingFileAndReason) {
    const std::wstring missing = folder_.File(L"missing.dat");
    try {
        ReadAllLines(missing);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(),
                  L"Cannot open file \"" + missing + L"\". " + SystemErrorText(ERROR_FILE_NOT_FOUND));
    }
    THeldFile writer(path_, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    try {
        ReadAllLines(path_);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), L"Cannot open file \"" + path_ + L"\". " +
                                   SystemErrorText(ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(folder_.Entries(), std::vector<std::wstring>{L"game.dat"});
}

TEST_F(SettingsFileErrors, LineWriterRefusesReadOnlyAndFilesInUseBeforeWriting) {
    {
        // A reader that does not share writing keeps writers out.
        THeldFile reader(path_, GENERIC_READ, FILE_SHARE_READ);
        EXPECT_EQ(InOutErrorCode([&] { TLineWriter().Open(path_); }), 32);
    }
    ExpectUnchangedAndAlone();
    // Root under Wine could write it: the writer refuses by itself.
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    try {
        TLineWriter().Open(path_);
        FAIL() << "opened a read-only file for writing";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), 5);
        EXPECT_EQ(e.Message(), L"File access denied");
    }
    ExpectUnchangedAndAlone();
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SettingsFileErrors, ReadOnlySetWhileWritingIsStillRefused) {
    TLineWriter writer;
    writer.Open(path_);
    writer.WriteLine(L"PROTECTION_MODE = 2");
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(InOutErrorCode([&] { writer.Close(); }), 5);
    ExpectUnchangedAndAlone();
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SettingsFileErrors, PathsOver259CharactersGiveCode3WithoutTouchingTheFile) {
    const std::wstring longPath = MakeLongPath(folder_);
    ASSERT_GT(longPath.size(), 259u);
    WriteBytes(longPath, "PROTECTION_MODE = 1\r\n");
    ASSERT_EQ(ReadAllLines(longPath).ToStrings(), std::vector<std::wstring>{L"PROTECTION_MODE = 1"});

    try {
        TLineReader().Open(longPath);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), 3);
        EXPECT_EQ(e.Message(), L"Invalid file name - " + longPath);
    }
    EXPECT_EQ(InOutErrorCode([&] { TLineWriter().Open(longPath); }), 3);
    EXPECT_EQ(ReadBytes(longPath), "PROTECTION_MODE = 1\r\n");
    EXPECT_FALSE(FileExists(longPath + L".saving"));
}

TEST_F(SettingsFileErrors, ListWriterCreatesNothingWhenItCannotCreate) {
    const std::wstring inMissingFolder = folder_.File(L"no such folder\\game.dat");
    try {
        WriteAllLines(inMissingFolder, {L"a"});
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), L"Cannot create file \"" + inMissingFolder + L"\". " +
                                   SystemErrorText(ERROR_PATH_NOT_FOUND));
    }
    // A file that appeared meanwhile is not replaced.
    EXPECT_THROW(WriteAllLines(path_, {L"other"}), EFCreateError);
    ExpectUnchangedAndAlone();
}

TEST_F(SettingsFileErrors, WritingAfterAFailureIsAnErrorToo) {
    TLineWriter writer;
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(InOutErrorCode([&] { writer.Open(path_); }), 5);
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(InOutErrorCode([&] { writer.WriteLine(L"x"); }), static_cast<int>(ERROR_INVALID_HANDLE));
    EXPECT_NO_THROW(writer.Close());
    ExpectUnchangedAndAlone();
}
