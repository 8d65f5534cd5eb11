// A disk that fills up. The test command mounts a small file system (tmpfs,
// which needs root) and passes it in KV_E2E_ROOT; the test folder lies on it,
// and a filler file beside the folder takes its last free byte.
#include "tests/e2e/Faults.h"

namespace e2e {
namespace {

class DiskFullFaultTest : public FaultTest {
protected:
    void SetUp() override {
        FaultTest::SetUp();
        const std::optional<ULONGLONG> size = DiskSize(Folder().Path());
        ASSERT_TRUE(size.has_value());
        if (*size > kLargestSmallDisk) {
            // Only root can mount the small disk; as root, a missing one is an error.
            ASSERT_TRUE(PermissionsAreEnforced(Folder().Path()))
                << "running as root, but the test folder is not on a small file system: "
                   "KV_E2E_ROOT must name the tmpfs the test command mounts";
            GTEST_SKIP() << "no small file system to fill: it takes root to mount one";
        }
    }
};

TEST_F(DiskFullFaultTest, FullDiskFailsTheSaveAndLeavesTheSettingsFileWhole) {
    StartOn(kUserSettings);
    ChooseProtection(1, L"1");
    Filler filler(ParentOf(Folder().Path()) + L"filler");
    ASSERT_EQ(filler.LastError(), static_cast<DWORD>(ERROR_DISK_FULL)) << "the disk did not fill up";

    ExpectSaveFails(L"I/O error 112.", kUserSettings);
    ChooseProtection(2, L"2");
    ChooseProtection(1, L"1");
    ExpectSaveFails(L"I/O error 112.", kUserSettings);

    ASSERT_TRUE(filler.Remove());
    ExpectSaveSucceeds(kUserSettingsSavedFull);
}

TEST_F(DiskFullFaultTest, FullDiskAtStartUpLeavesNoPartialSettingsFile) {
    Filler filler(ParentOf(Folder().Path()) + L"filler");
    ASSERT_EQ(filler.LastError(), static_cast<DWORD>(ERROR_DISK_FULL)) << "the disk did not fill up";
    Start();
    ExpectErrorBoxAndDismiss(App(), nullptr, {L"Stream write error.", false});
    main_ = App().WaitForMainWindow();
    ASSERT_NE(main_, nullptr) << "the window did not open after the box";
    ExpectDesignValues();
    EXPECT_FALSE(Folder().Exists(kSettingsFile));
    ExpectNothingElseInTheFolder();

    // Saving never creates the file, with or without room on the disk.
    ASSERT_TRUE(filler.Remove());
    ExpectSaveFails(CannotOpenText(SettingsPath(), kWineFileNotFound), std::nullopt);
}

}  // namespace
}  // namespace e2e
