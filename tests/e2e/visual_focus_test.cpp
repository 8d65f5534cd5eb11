// The keyboard focus can be seen: a control looks different while it has it.
#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "tests/e2e/VisualTest.h"

namespace e2e {
namespace {

struct Change {
    int pixels = 0;    // pixels that differ clearly
    double ratio = 1;  // the strongest contrast between old and new pixel
};

Change Compare(const Screenshot& a, const Screenshot& b, const Box& area) {
    Change change;
    for (int y = area.top; y < area.top + area.height; ++y)
        for (int x = area.left; x < area.left + area.width; ++x) {
            if (ColourDistance(a.Pixel(x, y), b.Pixel(x, y)) <= 32) continue;
            ++change.pixels;
            change.ratio = std::max(change.ratio, ContrastRatio(a.Pixel(x, y), b.Pixel(x, y)));
        }
    return change;
}

class VisualFocusTest : public VisualTest {
protected:
    // Presses Tab until `target` has the focus. Another program's window may
    // take the activation, and the focus with it, at any time: the window is
    // made active again before each look at the focus.
    bool TabTo(HWND target) const {
        for (int presses = 0;; ++presses) {
            BringToForeground(Main());
            WaitUntil([&] { return FocusOf(Main()) != nullptr; }, kStepTimeoutMs);
            HWND from = FocusOf(Main());
            if (from == target) return true;
            if (presses == 8 || !PostKey(Main(), VK_TAB)) return false;
            WaitUntil([&] { return FocusOf(Main()) != from; }, kStepTimeoutMs);
        }
    }

    // The window with the focus on `target`, captured again when the focus
    // was lost while capturing.
    const Screenshot* CaptureFocused(HWND target, const std::string& label) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!TabTo(target)) continue;
            const Screenshot& shot = Capture(label);
            if (FocusOf(Main()) == target) return &shot;
        }
        ADD_FAILURE() << "the focus does not stay on control " << GetDlgCtrlID(target);
        return nullptr;
    }
};

TEST_F(VisualFocusTest, FocusCueOfSaveAndCheckBoxIsVisible) {
    HWND save = Control(kIdSave), logo = Control(kIdShowCustomLogo);
    const Screenshot* onSave = CaptureFocused(save, "focus-on-save");
    const Screenshot* onLogo = CaptureFocused(logo, "focus-on-checkbox");
    ASSERT_TRUE(onSave && onLogo);

    // A focus indicator needs 3:1 against what it replaces (WCAG 2.2, 1.4.11).
    for (auto [name, control] : {std::pair{"Save", save}, std::pair{"ShowCustomLogo", logo}}) {
        SCOPED_TRACE(name);
        const Change change = Compare(*onSave, *onLogo, BoxOf(control));
        std::printf("[ focus    ] %-14s %4d pixels change, strongest %.2f:1\n", name, change.pixels, change.ratio);
        EXPECT_GE(change.pixels, 40) << "the focus barely changes the control";
        EXPECT_GE(change.ratio, 3.0);
    }
}

}  // namespace
}  // namespace e2e
