#include "tests/e2e/VisualTest.h"

#include <cstdio>
#include <string>

namespace e2e {

namespace {

// One colour all over: the banner alone rules that out for the window.
bool IsBlank(const Screenshot& shot) {
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x)
            if (shot.Pixel(x, y) != shot.Pixel(0, 0)) return false;
    return true;
}

std::wstring FailureFolder() {
    std::wstring folder = FolderOf(BuiltExePath()) + L"visual-failures\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// No visible window above `window` in the z-order overlaps it. Other
// programs on the same desktop (message boxes of other test runs) can come
// up over the configurator at any time; a capture must not include them.
bool Uncovered(HWND window) {
    RECT mine{};
    GetWindowRect(window, &mine);
    for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        RECT other{}, overlap{};
        if (IsWindowVisible(above) && GetWindowRect(above, &other) && IntersectRect(&overlap, &mine, &other))
            return false;
    }
    return true;
}

// How long a capture waits for a covering window to go away.
constexpr DWORD kUncoverTimeoutMs = 30000;

}  // namespace

void VisualTest::SetUp() {
    AppTest::SetUp();
    palette_ = CarbonPalette();
    WriteSettings(kVisualSettings);
    ASSERT_NE(StartMain(), nullptr);
    // Nothing may cover the window, and the pointer must not make a control hot.
    ASSERT_TRUE(BringToForeground(Main()));
    RECT frame{};
    GetWindowRect(Main(), &frame);
    SetCursorPos(frame.right + 20, frame.bottom + 20);
    WaitForIdle(App().Handle(), Main());
}

void VisualTest::TearDown() {
    if (HasFailure() && !captures_.empty()) {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::wstring prefix = FailureFolder() + Widen(test->test_suite_name()) + L"." + Widen(test->name());
        for (const auto& [label, shot] : captures_) {
            const std::wstring path = prefix + L"-" + Widen(label) + L".bmp";
            if (shot.SaveBmp(path)) std::printf("screenshot kept in %s\n", Narrow(path).c_str());
        }
    }
    AppTest::TearDown();
}

const Screenshot& VisualTest::Capture(const std::string& label) {
    WaitForIdle(App().Handle(), Main());
    Screenshot shot(0, 0);
    bool uncovered = false;
    int sameInARow = 0;
    const ULONGLONG deadline = GetTickCount64() + kUncoverTimeoutMs;
    // Wine copies what a window painted to the X server a moment later, and
    // a desktop being set up shows nothing at all for a while: three
    // captures in a row must agree and show something, with nothing over
    // the window.
    while (sameInARow < 2 && GetTickCount64() < deadline) {
        uncovered = Uncovered(Main());
        if (!uncovered) {
            BringToForeground(Main());
            WaitForIdle(App().Handle(), Main());
        }
        Screenshot again = Screenshot::OfClient(Main());
        uncovered = uncovered && Uncovered(Main());
        sameInARow = uncovered && again == shot && !IsBlank(again) ? sameInARow + 1 : 0;
        shot = std::move(again);
        if (sameInARow < 2) Sleep(100);
    }
    EXPECT_TRUE(uncovered) << "another window covers the configurator";
    captures_.emplace_back(label, std::move(shot));
    return captures_.back().second;
}

uint32_t VisualTest::StyleColour(const std::string& name) const {
    auto colour = palette_.find(name);
    if (colour == palette_.end()) {
        ADD_FAILURE() << "the Carbon style's source defines no colour " << name;
        return 0;
    }
    return colour->second;
}

Box Inset(const Box& box, int inset) {
    return Box{box.left + inset, box.top + inset, box.width - 2 * inset, box.height - 2 * inset};
}

Box Sub(const Box& outer, int left, int top, int width, int height) {
    return Box{outer.left + left, outer.top + top, width, height};
}

}  // namespace e2e
