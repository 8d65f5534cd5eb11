// Start-up: the settings file beside the exe whatever the working folder, the
// "/acver" switch, the taskbar button and the start-up show state.
#include "tests/e2e/Harness.h"
#include "tests/e2e/SettingsDriver.h"

namespace e2e {
namespace {

class StartupTest : public AppTest {
protected:
    // Waits for the version box that "/acver" shows and checks it.
    HWND ExpectVersionBox(const std::wstring& caption) {
        HWND box = WaitForDialog(App());
        if (!box) {
            ADD_FAILURE() << "no version box; the process " << App().Describe();
            return nullptr;
        }
        DialogContent content = ReadDialog(box);
        EXPECT_EQ(content.caption, caption);
        EXPECT_EQ(content.message, L"Skin Components v11.14");
        EXPECT_EQ(content.icon, IconKind::None);
        EXPECT_EQ(content.buttons.size(), 1u);
        if (!content.buttons.empty()) {
            EXPECT_EQ(content.buttons[0].id, IDOK);
            EXPECT_EQ(content.buttons[0].text, L"OK");
        }
        // The box comes before the window exists.
        EXPECT_EQ(App().FindTopLevel(kMainWindowClass, false), nullptr);
        return box;
    }

    // Watches for a while that no message box appears.
    bool NoDialogFor(DWORD periodMs) const {
        return !WaitUntil([&] { return !VisibleDialogs(*app_).empty(); }, periodMs);
    }
};

TEST_F(StartupTest, SettingsFileIsCreatedBesideTheExeWhenStartedElsewhere) {
    std::wstring elsewhere = Folder().Subfolder(L"elsewhere");
    ASSERT_NE(StartMain(LaunchOptions().In(elsewhere)), nullptr);
    EXPECT_EQ(ReadSettings(), std::optional<std::string>(kDefaultSettingsBytes));
    EXPECT_FALSE(Folder().Exists(L"elsewhere\\game.dat"));
    EXPECT_EQ(CheckState(Control(kIdShowCustomLogo)), BST_CHECKED) << "the created file was not loaded";
}

TEST_F(StartupTest, SettingsFileBesideTheExeIsReadWhenStartedElsewhere) {
    std::wstring elsewhere = Folder().Subfolder(L"elsewhere");
    WriteFileBytes(elsewhere + L"game.dat", "PROTECTION_MODE = 1\r\nPROTECTION_CLIENT_ID = 111\r\n");
    WriteSettings("PROTECTION_MODE = 2\r\nPROTECTION_CLIENT_ID = 222\r\n");
    ASSERT_NE(StartMain(LaunchOptions().In(elsewhere)), nullptr);
    EXPECT_EQ(WindowText(Control(kIdDLLKey)), L"222");
    EXPECT_EQ(CheckState(Control(RadioItemId(kIdProtectionGrp, 2))), BST_CHECKED);
}

TEST_F(StartupTest, SettingsFileIsCreatedWhenStartedInTheExeFolder) {
    ASSERT_NE(StartMain(LaunchOptions().In(Folder().Path())), nullptr);
    EXPECT_EQ(ReadSettings(), std::optional<std::string>(kDefaultSettingsBytes));
}

TEST_F(StartupTest, AcverInCapitalsShowsTheVersionBoxBeforeTheWindow) {
    WriteSettings(kNeutralSettings);
    Start(LaunchOptions().Args({L"/ACVER"}));
    HWND box = ExpectVersionBox(L"Korvanecfg");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(PressDialogButton(box, IDOK));
    main_ = App().WaitForMainWindow();
    ASSERT_NE(main_, nullptr);
    EXPECT_TRUE(NoDialogFor(kQuietPeriodMs));
    PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(StartupTest, AcverGivenTwiceShowsOneBox) {
    WriteSettings(kNeutralSettings);
    Start(LaunchOptions().Args({L"/acver", L"/AcVeR"}));
    HWND box = ExpectVersionBox(L"Korvanecfg");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(PressDialogButton(box, IDOK));
    ASSERT_NE(main_ = App().WaitForMainWindow(), nullptr);
    EXPECT_TRUE(NoDialogFor(kQuietPeriodMs)) << "a second box appeared";
}

TEST_F(StartupTest, AcverCaptionIsTheExeNameUpToItsFirstDot) {
    std::wstring renamed = Folder().CopyExe(L"KVtest.Portable.exe");
    Start(renamed, LaunchOptions().Args({L"/acver"}));
    HWND box = ExpectVersionBox(L"Kvtest");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(PressDialogButton(box, IDOK));
    EXPECT_NE(App().WaitForMainWindow(), nullptr);
}

TEST_F(StartupTest, ArgumentsThatOnlyResembleAcverShowNoBox) {
    WriteSettings(kNeutralSettings);
    const std::vector<std::wstring> lookalikes = {L"/acverx", L"-acver", L"acver", L"/acve", L"\\acver", L"x/acver"};
    ASSERT_NE(StartMain(LaunchOptions().Args(lookalikes)), nullptr);
    EXPECT_TRUE(NoDialogFor(kQuietPeriodMs));
}

TEST_F(StartupTest, OnlyTheMainWindowHasATaskbarButton) {
    WriteSettings(kNeutralSettings);
    ASSERT_NE(StartMain(), nullptr);
    EXPECT_EQ(GetWindow(Main(), GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_TRUE(HasExStyle(Main(), WS_EX_APPWINDOW));
    EXPECT_FALSE(HasExStyle(Main(), WS_EX_TOOLWINDOW));

    HWND application = App().ApplicationWindow();
    ASSERT_NE(application, nullptr);
    EXPECT_FALSE(IsWindowVisible(application));
    EXPECT_TRUE(HasExStyle(application, WS_EX_TOOLWINDOW));
    EXPECT_TRUE(HasExStyle(application, WS_EX_NOACTIVATE));
    EXPECT_FALSE(HasExStyle(application, WS_EX_APPWINDOW));
    EXPECT_EQ(WindowText(application), L"");

    // Apart from the main window nothing of the process is on the screen.
    EXPECT_EQ(App().VisibleTopLevelWindows(), std::vector<HWND>{Main()});
}

TEST_F(StartupTest, ShowMaximisedOpensTheWindowMaximised) {
    WriteSettings(kNeutralSettings);
    ASSERT_NE(StartMain(LaunchOptions().Show(SW_SHOWMAXIMIZED)), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(Main()) != FALSE; }, kStepTimeoutMs));
    EXPECT_TRUE(IsWindowVisible(Main()));
}

TEST_F(StartupTest, ShowMinimisedWithoutActivationStartsMinimised) {
    WriteSettings(kNeutralSettings);
    ASSERT_NE(StartMain(LaunchOptions().Show(SW_SHOWMINNOACTIVE)), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(Main()) != FALSE; }, kStepTimeoutMs));
    EXPECT_TRUE(IsWindowVisible(Main()));
    // Restored, it has its normal size.
    ShowWindow(Main(), SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(Main()); }, kStepTimeoutMs));
    SIZE client = ClientSize(Main());
    EXPECT_EQ(client.cx, 354);
    EXPECT_EQ(client.cy, 345);
}

TEST_F(StartupTest, ShowNormalOpensNeitherMaximisedNorMinimised) {
    WriteSettings(kNeutralSettings);
    ASSERT_NE(StartMain(LaunchOptions().Show(SW_SHOWNORMAL)), nullptr);
    EXPECT_FALSE(IsZoomed(Main()));
    EXPECT_FALSE(IsIconic(Main()));
    EXPECT_EQ(GetForegroundWindow(), Main());
}

}  // namespace
}  // namespace e2e
