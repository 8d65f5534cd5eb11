// Closing: every way of closing the window ends the process with exit code 0
// and leaves game.dat exactly as it was; log-off and shutdown likewise.
#include "tests/e2e/Harness.h"

namespace e2e {
namespace {

// Odd on purpose: a line with LF only, an unknown line with a non-ASCII byte,
// no line break at the end. Any rewrite would change some of it.
constexpr char kOddSettings[] =
    "PROTECTION_MODE = 0\n"
    "PROTECTION_CHRONICLE = 0\r\n"
    "PROTECTION_LOGO = 0\r\n"
    "PROTECTION_CLIENT_ID = 7\r\n"
    "unknown \xE9 line\r\n"
    "[DEFAULT]";

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

class ShutdownTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteSettings(kOddSettings);
        before_ = Folder().LastWriteTime(kSettingsFile);
        ASSERT_TRUE(before_.has_value());
        ASSERT_NE(StartMain(), nullptr);
    }

    // Changes every setting in the window, so that a close that saved would show.
    void ChangeEverything() {
        SendOrZero(Control(RadioItemId(kIdProtectionGrp, 1)), BM_CLICK);
        SendOrZero(Control(kIdShowCustomLogo), BM_CLICK);
        HWND buildId = Control(kIdDLLKey);
        SendOrZero(buildId, EM_SETSEL, 0, -1);
        PostChars(buildId, L"42");
        WaitForIdle(App().Handle(), Main());
        ASSERT_EQ(WindowText(Control(kIdPMode)), L"1");
        ASSERT_EQ(CheckState(Control(kIdShowCustomLogo)), BST_CHECKED);
        ASSERT_EQ(WindowText(buildId), L"42");
    }

    void ExpectEndedCleanlyWithoutSaving() {
        EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(0));
        EXPECT_EQ(ReadSettings(), std::optional<std::string>(kOddSettings));
        std::optional<FILETIME> after = Folder().LastWriteTime(kSettingsFile);
        ASSERT_TRUE(after.has_value());
        EXPECT_TRUE(SameTime(*before_, *after)) << "game.dat was rewritten";
        EXPECT_TRUE(VisibleDialogs(App()).empty());
    }

    std::optional<FILETIME> before_;
};

enum class CloseWay { CloseMessage, SysCommandClose, AltF4, SystemMenu, CloseBox, ApplicationWindowClose };

std::string CloseWayName(const ::testing::TestParamInfo<CloseWay>& info) {
    switch (info.param) {
        case CloseWay::CloseMessage: return "CloseMessage";
        case CloseWay::SysCommandClose: return "SysCommandClose";
        case CloseWay::AltF4: return "AltF4";
        case CloseWay::SystemMenu: return "SystemMenu";
        case CloseWay::CloseBox: return "CloseBox";
        case CloseWay::ApplicationWindowClose: return "ApplicationWindowClose";
    }
    return "Unknown";
}

class CloseTest : public ShutdownTest, public ::testing::WithParamInterface<CloseWay> {
protected:
    void Close(CloseWay way) {
        switch (way) {
            case CloseWay::CloseMessage:
                PostMessageW(Main(), WM_CLOSE, 0, 0);
                break;
            case CloseWay::SysCommandClose:
                PostMessageW(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
            case CloseWay::AltF4:
                ASSERT_TRUE(PressChord(Main(), {VK_MENU, VK_F4}));
                break;
            case CloseWay::SystemMenu: {
                ASSERT_TRUE(BringToForeground(Main()));
                PostMessageW(Main(), WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
                ASSERT_NE(App().WaitForTopLevel(L"#32768", kStepTimeoutMs), nullptr) << "no system menu";
                ASSERT_TRUE(PressChord(Main(), {'C'}));  // "&Close"
                break;
            }
            case CloseWay::CloseBox: {
                POINT box{};
                ASSERT_TRUE(FindCloseBox(Main(), box));
                ASSERT_TRUE(ClickAt(Main(), box));
                break;
            }
            case CloseWay::ApplicationWindowClose:
                ASSERT_NE(App().ApplicationWindow(), nullptr);
                PostMessageW(App().ApplicationWindow(), WM_CLOSE, 0, 0);
                break;
        }
    }
};

bool UsesRealInput(CloseWay way) {
    return way == CloseWay::AltF4 || way == CloseWay::SystemMenu || way == CloseWay::CloseBox;
}

TEST_P(CloseTest, EndsWithExitCodeZeroAndLeavesTheSettingsFileAlone) {
    ChangeEverything();
    // Real input goes to whichever window is in the foreground at that moment;
    // when another program's window took it first, try again.
    for (int attempt = 0; attempt < 3 && UsesRealInput(GetParam()); ++attempt) {
        Close(GetParam());
        if (HasFatalFailure() || App().WaitForExit(3000)) break;
        if (HWND menu = App().FindTopLevel(L"#32768")) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    if (!UsesRealInput(GetParam())) Close(GetParam());
    ExpectEndedCleanlyWithoutSaving();
}

INSTANTIATE_TEST_SUITE_P(EveryWay, CloseTest,
                         ::testing::Values(CloseWay::CloseMessage, CloseWay::SysCommandClose, CloseWay::AltF4,
                                           CloseWay::SystemMenu, CloseWay::CloseBox,
                                           CloseWay::ApplicationWindowClose),
                         CloseWayName);

TEST_F(ShutdownTest, BothWindowsAllowLogOffAndTheProcessEndsWithZero) {
    ChangeEverything();
    HWND application = App().ApplicationWindow();
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(SendWithTimeout(application, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), std::optional<LRESULT>(TRUE));
    EXPECT_EQ(SendWithTimeout(Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), std::optional<LRESULT>(TRUE));
    // As Windows does: every top-level window of the process hears that the
    // session ends. The process may end while a message is being handled.
    for (HWND window : App().TopLevelWindows()) SendWithTimeout(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, 2000);
    ExpectEndedCleanlyWithoutSaving();
}

TEST_F(ShutdownTest, ShutdownEndsTheProcessWithZero) {
    HWND application = App().ApplicationWindow();
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(SendWithTimeout(application, WM_QUERYENDSESSION, 0, 0), std::optional<LRESULT>(TRUE));
    EXPECT_EQ(SendWithTimeout(Main(), WM_QUERYENDSESSION, 0, 0), std::optional<LRESULT>(TRUE));
    for (HWND window : App().TopLevelWindows()) SendWithTimeout(window, WM_ENDSESSION, TRUE, 0, 2000);
    ExpectEndedCleanlyWithoutSaving();
}

TEST_F(ShutdownTest, CancelledLogOffKeepsTheProgramRunning) {
    for (HWND window : App().TopLevelWindows()) {
        SendWithTimeout(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        SendWithTimeout(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    }
    EXPECT_FALSE(App().WaitForExit(kQuietPeriodMs).has_value()) << "the program ended";
    EXPECT_TRUE(IsWindowVisible(Main()));
    PostMessageW(Main(), WM_CLOSE, 0, 0);
    ExpectEndedCleanlyWithoutSaving();
}

}  // namespace
}  // namespace e2e
