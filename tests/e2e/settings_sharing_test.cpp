// Saves beside other programs and other copies of the configurator: a
// program that keeps game.dat open but lets others write gets the new
// content in place, and a second copy started during a save never takes
// away the first one's temporary file.
#include "tests/e2e/Faults.h"
#include "tests/e2e/SettingsDriver.h"

namespace e2e {
namespace {

const std::string kBefore = CrLfLines({"[DEFAULT]", "; the user's \xE9 line", "PROTECTION_MODE = 0",
                                       "PROTECTION_CLIENT_ID = 7", "last"});
const std::string kAfter = CrLfLines({"[DEFAULT]", "; the user's \xE9 line", "PROTECTION_MODE = 2",
                                      "PROTECTION_CLIENT_ID = 7", "last"});

std::optional<ULONGLONG> FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Another program that keeps game.dat open for reading and lets others
// write it: a viewer, a watcher, the game itself, and (sharing deleting too)
// scanners, indexers and sync tools. No replace can go, so after a second of
// tries the save rewrites game.dat in place, and that program reads the new
// content through the handle it holds.
class HeldOpenTest : public SettingsTest, public ::testing::WithParamInterface<DWORD> {};

TEST_P(HeldOpenTest, TheSaveRewritesTheFileInPlace) {
    ASSERT_NE(StartWith(kBefore), nullptr);
    HeldFile holder(Folder().PathOf(kSettingsFile), GENERIC_READ, GetParam());
    ASSERT_TRUE(holder.IsOpen()) << holder.Error();
    Choose(kIdProtectionGrp, 2);
    SaveExpecting(kAfter, OtherReaders::Some);
    EXPECT_EQ(holder.ReadAll(), std::optional<std::string>(kAfter)) << "the holder's handle reads something else";
}

INSTANTIATE_TEST_SUITE_P(ShareModes, HeldOpenTest,
                         ::testing::Values(FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));

// Stops the threads of a process at a chosen moment and lets them go on when
// it goes: a moment of a save that passes too quickly to be met otherwise
// stands still while another copy starts.
class StoppedProcess {
public:
    explicit StoppedProcess(HWND window)
        : thread_(OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr))) {
        if (thread_) SuspendThread(thread_.get());
    }
    ~StoppedProcess() { Resume(); }
    StoppedProcess(const StoppedProcess&) = delete;
    StoppedProcess& operator=(const StoppedProcess&) = delete;
    void Resume() {
        if (thread_) ResumeThread(thread_.get());
        thread_.reset();
    }

private:
    UniqueKernelHandle thread_;
};

class SecondCopyTest : public SettingsTest {
protected:
    std::wstring TempPath() const { return Folder().PathOf(kSavingTempFile); }

    // Stops the first copy's save once `reached` holds for its temporary
    // file, starts a second copy beside it and gives that one time to clear
    // up; then lets the save go on and expects it to succeed with `saved`,
    // and the second copy to open on the saved file.
    template <class Reached>
    void StartASecondCopyDuringTheSave(const std::string& saved, Reached reached, wchar_t savedMode) {
        PostMessageW(Control(kIdSave), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return reached(FileSize(TempPath())); }, kStartTimeoutMs, 0))
            << "the save never reached the moment";
        StoppedProcess first(Main());
        ASSERT_TRUE(Folder().Exists(kSavingTempFile)) << "the save was over before it was stopped";
        AppProcess second(Exe(), LaunchOptions{});
        Sleep(2000);  // a start takes well under a second to reach its clean-up
        EXPECT_TRUE(Folder().Exists(kSavingTempFile)) << "the second copy removed the first one's temporary file";
        first.Resume();

        HWND notice = WaitForDialog(App());
        ASSERT_NE(notice, nullptr) << "no box after the save: " << App().Describe();
        EXPECT_EQ(ReadDialog(notice).message, L"Success!");
        ExpectBytes(ReadSettings(), saved);
        EXPECT_FALSE(Folder().Exists(kSavingTempFile));
        EXPECT_TRUE(PressDialogButton(notice, IDOK));
        EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(0));

        HWND secondMain = second.WaitForMainWindow();
        ASSERT_NE(secondMain, nullptr) << "the second copy did not open: " << second.Describe();
        EXPECT_EQ(ReadShown(secondMain).mode, std::wstring(1, savedMode));
        PostMessageW(secondMain, WM_CLOSE, 0, 0);
        EXPECT_EQ(second.WaitForExit(), std::optional<DWORD>(0));
    }
};

TEST_F(SecondCopyTest, StartedWhileTheTemporaryFileIsWrittenItLeavesTheSaveWhole) {
    const std::string before = LargeSettings('0', 780'000), after = LargeSettings('1', 780'000);  // 50 MB
    ASSERT_NE(StartWith(before), nullptr);
    Choose(kIdProtectionGrp, 1);
    StartASecondCopyDuringTheSave(
        after, [](std::optional<ULONGLONG> written) { return written.has_value(); },
        L'1');
}

TEST_F(SecondCopyTest, StartedWhileTheReplaceWaitsForAReaderItLeavesTheSaveWhole) {
    ASSERT_NE(StartWith(kBefore), nullptr);
    HeldFile viewer(Folder().PathOf(kSettingsFile), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(viewer.IsOpen()) << viewer.Error();
    Choose(kIdProtectionGrp, 2);
    StartASecondCopyDuringTheSave(
        kAfter, [&](std::optional<ULONGLONG> written) { return written == kAfter.size(); }, L'2');
    EXPECT_EQ(viewer.ReadAll(), std::optional<std::string>(kAfter));
}

}  // namespace
}  // namespace e2e
