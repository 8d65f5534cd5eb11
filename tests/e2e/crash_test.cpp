// Crashes inside the window procedure, made by the configurator built with the
// fault injector (tests/e2e/inject): each ends in the fatal error box and
// exit code 1, a stack overflow too, whose box cannot use the crashed stack.
#include <regex>

#include "tests/e2e/Faults.h"
#include "tests/e2e/inject/FaultInjector.h"

namespace e2e {
namespace {

class CrashTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(CopyFileW(ToWindowsPath(KV_FAULTS_EXE_PATH).c_str(), Exe().c_str(), FALSE));
        WriteSettings(kNeutralSettings);
        ASSERT_NE(StartMain(), nullptr);
    }

    // Posted, so that the loop dispatches it. A message sent from another
    // thread reaches the window procedure through the kernel, and Wine ignores
    // a fault that leaves it there ("KiUserCallbackDispatcher ignoring
    // exception"), as 64-bit Windows does in a 32-bit process that has not
    // opted out.
    void InjectFault(WPARAM kind, LPARAM argument) const {
        ASSERT_TRUE(PostMessageW(Main(), RegisterWindowMessageW(kFaultMessageName), kind, argument));
    }
};

TEST_F(CrashTest, AccessViolationEndsInTheFatalBoxWithExitCodeOne) {
    InjectFault(kAccessViolation, 0x10);
    const std::string text = Narrow(ExpectFatalBoxAndDismiss(App(), true));
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(text, parts,
                                 std::regex("Exception EAccessViolation in module KorvaneCFG\\.exe at ([0-9A-F]{8})\\.\r\n"
                                            "Access violation at address ([0-9A-Fa-f]{8,16})\\.\r\n")))
        << text;
    // The address less its offset in the exe is where the exe was loaded: on a 64 KB boundary.
    EXPECT_EQ((std::stoull(parts[2], nullptr, 16) - std::stoull(parts[1], nullptr, 16)) % 0x10000, 0u) << text;
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(1));
}

TEST_F(CrashTest, StackOverflowEndsInTheFatalBoxWithExitCodeOne) {
    // 16 KB left: enough to hand the box to another thread, too little for
    // the box itself (measured under Wine 8, 64 bits: the box needs between
    // 16 and 32 KB, the hand-off between 4 and 8 KB).
    InjectFault(kStackOverflow, 16 * 1024);
    const std::string text = Narrow(ExpectFatalBoxAndDismiss(App(), true));
    EXPECT_TRUE(std::regex_match(text, std::regex("Exception EStackOverflow in module KorvaneCFG\\.exe at "
                                                  "[0-9A-F]{8}\\.\r\nStack overflow\\.\r\n")))
        << text;
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(1));
}

}  // namespace
}  // namespace e2e
