// Keyboard focus and the tab order of the configuration window.
#include "tests/e2e/Harness.h"

namespace e2e {
namespace {

class KeyboardTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteSettings(kNeutralSettings);
        ASSERT_NE(StartMain(), nullptr);
        ASSERT_TRUE(EnsureActiveWithFocus(Main())) << "no control has the keyboard focus";
    }

    // The control id of the focus, 0 when nothing of the window has it.
    int FocusId() const {
        HWND focus = FocusOf(Main());
        return focus && IsChild(Main(), focus) ? GetDlgCtrlID(focus) : 0;
    }

    // Presses a key and returns the control the focus moves to. Other programs
    // on the desktop may take the activation meanwhile; the window gets it
    // back and the step is repeated unless the focus had already moved.
    template <class Press>
    int Step(Press press) const {
        EnsureActiveWithFocus(Main());
        const int from = FocusId();
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (attempt > 0) {
                EnsureActiveWithFocus(Main());
                if (FocusId() != from) return FocusId();
            }
            if (!press()) continue;
            if (WaitUntil([&] { return FocusId() != 0 && FocusId() != from; }, 2000)) return FocusId();
        }
        return FocusId();
    }

    // Tab or Shift+Tab `steps` times, noting where the focus goes; posted
    // into the window's queue, or typed as real keys.
    std::vector<int> PostTabs(int steps, Modifier modifier) const {
        std::vector<int> visited;
        for (int i = 0; i < steps; ++i) visited.push_back(Step([&] { return PostKey(Main(), VK_TAB, modifier); }));
        return visited;
    }

    std::vector<int> TypeTabs(int steps, bool shift) const {
        std::vector<int> visited;
        for (int i = 0; i < steps; ++i)
            visited.push_back(Step([&] {
                return shift ? PressChord(Main(), {VK_SHIFT, VK_TAB}) : PressChord(Main(), {VK_TAB});
            }));
        return visited;
    }

    void ExpectSelection(int groupId, int checkedIndex) const {
        HWND group = Control(groupId);
        for (int index = 0; index < 3; ++index)
            EXPECT_EQ(CheckState(ChildById(group, RadioItemId(groupId, index))),
                      index == checkedIndex ? BST_CHECKED : BST_UNCHECKED)
                << "group " << groupId << ", item " << index;
    }
};

const int kDefaultItem = RadioItemId(kIdProtectionGrp, 0);

TEST_F(KeyboardTest, FocusStartsOnTheCheckBox) {
    EXPECT_EQ(FocusId(), kIdShowCustomLogo);
    EXPECT_EQ(ActiveOf(Main()), Main());
}

TEST_F(KeyboardTest, TabVisitsTheControlsInOrderAndShiftTabGoesBack) {
    EXPECT_EQ(PostTabs(4, Modifier::None),
              (std::vector<int>{kDefaultItem, kIdDLLKey, kIdSave, kIdShowCustomLogo}));
    EXPECT_EQ(PostTabs(4, Modifier::Shift),
              (std::vector<int>{kIdSave, kIdDLLKey, kDefaultItem, kIdShowCustomLogo}));
    // Passing through the radio group selects nothing by itself.
    ExpectSelection(kIdProtectionGrp, 0);
    ExpectSelection(kIdChronicleGrp, 0);
    EXPECT_EQ(WindowText(Control(kIdPMode)), L"0");
}

TEST_F(KeyboardTest, RealTabKeysFollowTheSameOrder) {
    EXPECT_EQ(TypeTabs(4, false), (std::vector<int>{kDefaultItem, kIdDLLKey, kIdSave, kIdShowCustomLogo}));
    EXPECT_EQ(TypeTabs(4, true), (std::vector<int>{kIdSave, kIdDLLKey, kDefaultItem, kIdShowCustomLogo}));
    ExpectSelection(kIdProtectionGrp, 0);
}

TEST_F(KeyboardTest, TabReachesTheSelectedItemOfTheProtectionGroup) {
    const int custom = RadioItemId(kIdProtectionGrp, 2);
    SendOrZero(Control(custom), BM_CLICK);  // a click also takes the focus
    ExpectSelection(kIdProtectionGrp, 2);
    EXPECT_EQ(WindowText(Control(kIdPMode)), L"2");
    ASSERT_TRUE(EnsureActiveWithFocus(Main()));
    ASSERT_TRUE(WaitUntil([&] { return FocusId() == custom; }, kStepTimeoutMs));
    EXPECT_EQ(PostTabs(4, Modifier::None), (std::vector<int>{kIdDLLKey, kIdSave, kIdShowCustomLogo, custom}));
    EXPECT_EQ(PostTabs(4, Modifier::Shift), (std::vector<int>{kIdShowCustomLogo, kIdSave, kIdDLLKey, custom}));
    ExpectSelection(kIdProtectionGrp, 2);
}

}  // namespace
}  // namespace e2e
