// A disk that fills up. The test command mounts a small file system (tmpfs,
// which needs root) and passes it in KV_E2E_ROOT; the test folder lies on it,
// and a filler file beside the folder takes its last free byte.
#include "tests/e2e/Faults.h"

namespace e2e {
namespace {

// Larger than the exe and its settings, far smaller than any real disk.
constexpr ULONGLONG kLargestSmallDisk = 64ull << 20;

std::optional<ULONGLONG> DiskSize(const std::wstring& folder) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(folder.c_str(), &available, &total, &free)) return std::nullopt;
    return total.QuadPart;
}

std::wstring ParentOf(const std::wstring& folder) {
    return FolderOf(folder.substr(0, folder.size() - 1));
}

// A file that takes every byte the disk has left, and gives them back when it goes.
class Filler {
public:
    explicit Filler(std::wstring path) : path_(std::move(path)) {
        UniqueFile file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file) return;
        const std::string block(64 * 1024, 'x');
        // Smaller and smaller writes, down to single bytes, so that not even
        // the last page of the file system stays free.
        for (DWORD size : {64u * 1024u, 4096u, 1u}) {
            DWORD written = 0;
            while (WriteFile(file.get(), block.data(), size, &written, nullptr) && written == size) {
            }
            lastError_ = GetLastError();
        }
    }
    ~Filler() { Remove(); }
    Filler(const Filler&) = delete;
    Filler& operator=(const Filler&) = delete;

    DWORD LastError() const { return lastError_; }
    bool Remove() { return DeleteFileW(path_.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; }

private:
    std::wstring path_;
    DWORD lastError_ = 0;
};

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
