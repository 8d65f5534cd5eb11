// Faults that only file permissions make: a folder that cannot be written and
// a settings file that cannot be read. Wine ignores permissions for root, so
// these run as an unprivileged user in a prefix of its own (the test command
// arranges that) and fail, rather than pass unseen, when run as root.
#include "tests/e2e/Faults.h"

namespace e2e {
namespace {

class UnprivilegedFaultTest : public FaultTest {
protected:
    void SetUp() override {
        // The test command may hand over a copy of the configurator that this
        // user can read, when the build folder is out of its reach.
        wchar_t staged[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(L"KV_CONFIGURATOR_EXE", staged, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            exe_ = Folder().PathOf(L"KorvaneCFG.exe");
            ASSERT_TRUE(CopyFileW(ToWindowsPath(std::wstring(staged, length)).c_str(), exe_.c_str(), FALSE))
                << "cannot copy " << Narrow(staged);
        } else {
            AppTest::SetUp();
        }
        ASSERT_TRUE(PermissionsAreEnforced(Folder().Path()))
            << "file permissions are not enforced: this runs as root, for which Wine ignores them";
    }

    void TearDown() override {
        AppTest::TearDown();
        // Give the folder and the file back, so that they can be removed.
        SetFolderWritable(Folder().Path(), true);
        if (unreadable_) MakeReadableAgain(SettingsPath());
    }

    bool unreadable_ = false;
};

// No new file may be made in the folder, but game.dat may be written: the
// save rewrites it in place, and leaves nothing else in the folder.
TEST_F(UnprivilegedFaultTest, FolderThatCannotBeWrittenGetsTheFileRewrittenInPlace) {
    StartOn(kUserSettings);
    ChooseProtection(1, L"1");
    ASSERT_TRUE(SetFolderWritable(Folder().Path(), false));
    ExpectSaveSucceeds(kUserSettingsSavedFull);
}

// The same folder on a full disk, and a new content one byte longer than the
// old, which fills its last page: the byte that does not fit fails the save
// before any old byte is overwritten, and game.dat stays as it was.
TEST_F(UnprivilegedFaultTest, FullDiskWhileRewritingInPlaceLeavesTheFileWhole) {
    if (DiskSize(Folder().Path()).value_or(0) > kLargestSmallDisk) {
        ASSERT_EQ(GetEnvironmentVariableW(L"KV_SMALL_DISK_REQUIRED", nullptr, 0), 0u)
            << "the test command put the test folder on a small file system, but it is not one";
        GTEST_SKIP() << "no small file system to fill: it takes root to mount one";
    }
    // The mode has no value, so FULL makes the file one byte longer.
    std::string before = "PROTECTION_MODE = \r\n; kept by the user\r\n";
    before += std::string(4096 - before.size() - 2, 'x') + "\r\n";
    std::string after = before;
    after.insert(after.find(" = ") + 3, "1");
    StartOn(before);
    ChooseProtection(1, L"1");
    ASSERT_TRUE(SetFolderWritable(Folder().Path(), false));
    Filler filler(ParentOf(Folder().Path()) + L"filler");
    ASSERT_EQ(filler.LastError(), static_cast<DWORD>(ERROR_DISK_FULL)) << "the disk did not fill up";
    ExpectSaveFails(L"I/O error 112.", before);
    ASSERT_TRUE(filler.Remove());
    ExpectSaveSucceeds(after);
}

TEST_F(UnprivilegedFaultTest, SettingsFileWithoutPermissionsIsReportedAtStartUpAndOnSave) {
    WriteSettings(kUserSettings);
    ASSERT_TRUE(unreadable_ = MakeUnreadable(SettingsPath()));
    Start();
    ExpectErrorBoxAndDismiss(App(), nullptr, {L"File access denied.", false});
    main_ = App().WaitForMainWindow();
    ASSERT_NE(main_, nullptr) << "the window did not open after the box";
    ExpectDesignValues();

    PressSave();
    ExpectErrorBoxAndDismiss(App(), Main(), {CannotOpenText(SettingsPath(), kWineAccessDenied), true});
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Main()) != FALSE; }, kStepTimeoutMs));
    ExpectNothingElseInTheFolder();

    ASSERT_TRUE(MakeReadableAgain(SettingsPath()));
    unreadable_ = false;
    EXPECT_EQ(ReadSettings(), std::optional<std::string>(kUserSettings)) << "a failed save changed game.dat";
    ExpectSaveSucceeds(kUserSettingsSavedFromDesign);
}

TEST_F(UnprivilegedFaultTest, NoSettingsFileAndAFolderThatCannotBeWritten) {
    ASSERT_TRUE(SetFolderWritable(Folder().Path(), false));
    Start();
    ExpectErrorBoxAndDismiss(App(), nullptr, {CannotCreateText(SettingsPath(), kWineAccessDenied), false});
    main_ = App().WaitForMainWindow();
    ASSERT_NE(main_, nullptr) << "the window did not open after the box";
    ExpectDesignValues();

    // Saving never creates the file, so it fails the same way even once the
    // folder can be written.
    ExpectSaveFails(CannotOpenText(SettingsPath(), kWineFileNotFound), std::nullopt);
    ASSERT_TRUE(SetFolderWritable(Folder().Path(), true));
    ChooseProtection(1, L"1");
    ExpectSaveFails(CannotOpenText(SettingsPath(), kWineFileNotFound), std::nullopt);

    PostMessageW(Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(0));
    EXPECT_FALSE(Folder().Exists(kSettingsFile));
}

}  // namespace
}  // namespace e2e
