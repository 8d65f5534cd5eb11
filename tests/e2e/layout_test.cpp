// Every control of the configuration window: kind, parent, place, size, text,
// visibility, enabled and check state, edit limits, status bar panels.
#include "tests/e2e/Harness.h"

#include "framework/core/Handles.h"

#include <commctrl.h>

#include <algorithm>
#include <regex>

namespace e2e {
namespace {

class LayoutTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteSettings(kNeutralSettings);
        ASSERT_NE(StartMain(), nullptr);
    }

    HWND GroupBox() const { return ChildById(Main(), kIdGroupBox4); }
};

struct ControlRow {
    const char* name;
    int id;
    int parentId;  // 0: the window itself
    const wchar_t* className;
    Box box;                // relative to the parent's client area
    const wchar_t* text;    // nullptr: not compared
    bool visible;
    bool enabled;
};

const ControlRow kControls[] = {
    {"Image1", kIdImage1, 0, L"Static", {0, 0, 354, 177}, L"", true, true},
    {"GroupBox4", kIdGroupBox4, 0, L"Button", {0, 177, 354, 168}, L"Korvane System Configs", true, true},
    // Label13 is sized to its text: 79 x 13 where Tahoma has Windows' metrics;
    // LabelIsSizedToItsTextInTahoma checks its size.
    {"Label13", kIdLabel13, kIdGroupBox4, L"Static", {195, 30, 0, 0}, L"Custom Build ID:", true, true},
    {"DLLKey", kIdDLLKey, kIdGroupBox4, L"Edit", {285, 27, 54, 21}, L"", true, true},
    {"ShowCustomLogo", kIdShowCustomLogo, kIdGroupBox4, L"Button", {23, 27, 148, 17}, L"Show Custom Server Logo",
     true, true},
    {"StatusBar1", kIdStatusBar1, kIdGroupBox4, STATUSCLASSNAMEW, {2, 147, 350, 19}, nullptr, true, true},
    {"Save", kIdSave, kIdGroupBox4, L"Button", {208, 77, 131, 59}, L"Save", true, true},
    {"pCronic", kIdPCronic, kIdGroupBox4, L"Edit", {208, 49, 28, 22}, L"0", false, true},
    {"pMode", kIdPMode, kIdGroupBox4, L"Edit", {242, 49, 28, 22}, L"0", false, true},
    {"ProtectionGrp", kIdProtectionGrp, kIdGroupBox4, L"Button", {111, 50, 81, 86}, L"Bot Engine", true, true},
    {"ChronicleGrp", kIdChronicleGrp, kIdGroupBox4, L"Button", {8, 50, 97, 86}, L"Chronicle", true, false},
};

TEST_F(LayoutTest, EveryControlHasItsParentPlaceTextAndState) {
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.name);
        HWND parent = row.parentId ? ChildById(Main(), row.parentId) : Main();
        ASSERT_NE(parent, nullptr);
        HWND control = ChildById(parent, row.id);
        ASSERT_NE(control, nullptr) << "not a child of its parent";
        EXPECT_EQ(ClassName(control), row.className);
        Box box = BoxIn(control, parent);
        if (row.box.width == 0) box.width = box.height = 0;  // sized at run time
        EXPECT_EQ(box, row.box);
        if (row.text) {
            EXPECT_EQ(WindowText(control), row.text);
        }
        EXPECT_EQ(IsWindowVisible(control) != FALSE, row.visible);
        EXPECT_EQ(IsWindowEnabled(control) != FALSE, row.enabled);
    }
}

// Another process's font cannot be read under Wine (WM_GETFONT answers 0
// across processes), but the label takes the size of its text in the window's
// font, Tahoma 11 pixels high: measured here with that font, 79 x 13 with
// Windows' Tahoma. (A Wine without its own fonts maps Tahoma to a substitute;
// the label must then still measure what that substitute measures.)
TEST_F(LayoutTest, LabelIsSizedToItsTextInTahoma) {
    ScopedWindowDC screen(nullptr);
    UniqueFont font(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
    ScopedSelect select(screen.get(), font.get());
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(screen.get(), LF_FACESIZE, face);
    const std::wstring text = L"Custom Build ID:";
    SIZE extent{};
    GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.get(), &metrics);
    EXPECT_EQ(BoxIn(Control(kIdLabel13), GroupBox()), (Box{195, 30, extent.cx, metrics.tmHeight}))
        << "measured in " << Narrow(face);
}

TEST_F(LayoutTest, WindowHoldsOnlyTheBannerAndTheSettingsGroup) {
    std::vector<int> top, inGroup;
    for (HWND child : Children(Main())) top.push_back(GetDlgCtrlID(child));
    for (HWND child : Children(GroupBox())) inGroup.push_back(GetDlgCtrlID(child));
    std::sort(top.begin(), top.end());
    std::sort(inGroup.begin(), inGroup.end());
    EXPECT_EQ(top, (std::vector<int>{kIdGroupBox4, kIdImage1}));
    EXPECT_EQ(inGroup, (std::vector<int>{kIdLabel13, kIdDLLKey, kIdShowCustomLogo, kIdStatusBar1, kIdSave, kIdPCronic,
                                         kIdPMode, kIdProtectionGrp, kIdChronicleGrp}));
}

TEST_F(LayoutTest, GroupsCheckBoxAndButtonAreStandardButtons) {
    for (int id : {kIdProtectionGrp, kIdChronicleGrp}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(Style(Control(id)) & BS_TYPEMASK, BS_GROUPBOX);
    }
    EXPECT_EQ(Style(GroupBox()) & BS_TYPEMASK, BS_GROUPBOX);

    HWND logo = Control(kIdShowCustomLogo);
    LONG_PTR logoType = Style(logo) & BS_TYPEMASK;
    EXPECT_TRUE(logoType == BS_AUTOCHECKBOX || logoType == BS_CHECKBOX) << "button type " << logoType;
    EXPECT_FALSE(HasStyle(logo, BS_LEFTTEXT)) << "the box stands left of the text";
    EXPECT_EQ(CheckState(logo), BST_UNCHECKED);
    EXPECT_TRUE(HasStyle(logo, WS_TABSTOP));

    LONG_PTR saveType = Style(Control(kIdSave)) & BS_TYPEMASK;
    EXPECT_TRUE(saveType == BS_PUSHBUTTON || saveType == BS_DEFPUSHBUTTON) << "button type " << saveType;
}

TEST_F(LayoutTest, EditsAreCentredAndLimited) {
    HWND buildId = Control(kIdDLLKey);
    EXPECT_TRUE(HasStyle(buildId, ES_CENTER));
    EXPECT_TRUE(HasStyle(buildId, ES_NUMBER));
    EXPECT_FALSE(HasStyle(buildId, ES_READONLY));
    EXPECT_EQ(EditLimit(buildId), 3u);
    for (int id : {kIdPCronic, kIdPMode}) {
        SCOPED_TRACE(id);
        HWND code = Control(id);
        EXPECT_TRUE(HasStyle(code, ES_CENTER));
        EXPECT_TRUE(HasStyle(code, ES_NUMBER));
        EXPECT_TRUE(HasStyle(code, ES_READONLY));
        EXPECT_EQ(EditLimit(code), 1u);
        EXPECT_FALSE(IsWindowVisible(code));
    }
}

struct RadioGroupRow {
    const char* name;
    int id;
    int itemWidth;
    const wchar_t* items[3];
    bool enabled;
};

TEST_F(LayoutTest, RadioGroupsStackTheirItemsInOneColumn) {
    const RadioGroupRow groups[] = {
        {"ProtectionGrp", kIdProtectionGrp, 71, {L"DEFAULT", L"FULL", L"CUSTOM"}, true},
        {"ChronicleGrp", kIdChronicleGrp, 87, {L"INTERLUDE", L"HIGH FIVE", L"CLASSIC"}, false},
    };
    for (const RadioGroupRow& group : groups) {
        SCOPED_TRACE(group.name);
        HWND box = Control(group.id);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Children(box).size(), 3u);
        for (int index = 0; index < 3; ++index) {
            SCOPED_TRACE(index);
            HWND item = ChildById(box, RadioItemId(group.id, index));
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(ClassName(item), L"Button");
            LONG_PTR type = Style(item) & BS_TYPEMASK;
            EXPECT_TRUE(type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) << "button type " << type;
            EXPECT_EQ(WindowText(item), group.items[index]);
            EXPECT_EQ(BoxIn(item, box), (Box{8, 15 + 22 * index, group.itemWidth, 22}));
            EXPECT_TRUE(IsWindowVisible(item));
            EXPECT_EQ(IsWindowEnabled(item) != FALSE, group.enabled);
            EXPECT_EQ(CheckState(item), index == 0 ? BST_CHECKED : BST_UNCHECKED);
        }
    }
}

TEST_F(LayoutTest, DisabledChronicleGroupTakesNoClick) {
    HWND group = Control(kIdChronicleGrp);
    for (int index : {1, 2}) SendOrZero(ChildById(group, RadioItemId(kIdChronicleGrp, index)), BM_CLICK);
    WaitForIdle(App().Handle(), Main());
    // A real click as well: it must not reach the disabled item either.
    Box last = BoxIn(ChildById(group, RadioItemId(kIdChronicleGrp, 2)), nullptr);
    ASSERT_TRUE(ClickAt(Main(), POINT{last.left + 8, last.top + last.height / 2}));
    WaitForIdle(App().Handle(), Main());
    ASSERT_TRUE(IsWindow(Main())) << "the window is gone; the process " << App().Describe();
    EXPECT_EQ(CheckState(ChildById(group, RadioItemId(kIdChronicleGrp, 0))), BST_CHECKED);
    EXPECT_EQ(CheckState(ChildById(group, RadioItemId(kIdChronicleGrp, 1))), BST_UNCHECKED);
    EXPECT_EQ(CheckState(ChildById(group, RadioItemId(kIdChronicleGrp, 2))), BST_UNCHECKED);
    EXPECT_EQ(WindowText(Control(kIdPCronic)), L"0");
}

TEST_F(LayoutTest, StatusBarHasTwoTextPanelsReachingItsRightEnd) {
    HWND bar = Control(kIdStatusBar1);
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(HasStyle(bar, SBARS_SIZEGRIP));
    std::vector<int> edges = StatusBarParts(bar, App().Handle());
    ASSERT_EQ(edges.size(), 2u);
    EXPECT_EQ(edges[0], 120);
    EXPECT_TRUE(edges[1] == -1 || edges[1] >= ClientSize(bar).cx) << "panel 2 ends at " << edges[1];
    std::optional<RECT> last = StatusBarPartRect(bar, App().Handle(), 1);
    ASSERT_TRUE(last.has_value());
    EXPECT_GE(last->right, ClientSize(bar).cx) << "an empty strip remains after panel 2";

    EXPECT_EQ(StatusBarText(bar, App().Handle(), 0), L"Korvane Protection");
    std::wstring address = StatusBarText(bar, App().Handle(), 1);
    EXPECT_TRUE(std::regex_match(Narrow(address),
                                 std::regex(R"((https?://)?([a-z0-9-]+\.)*example\.(com|net|org)(/\S*)?)")))
        << Narrow(address);
    // Plain text panels that screen readers can read: not owner-drawn.
    for (int part : {0, 1}) EXPECT_EQ(StatusBarTextType(bar, part) & SBT_OWNERDRAW, 0u);
}

TEST_F(LayoutTest, BuildIdTakesAtMostThreeDigits) {
    HWND buildId = Control(kIdDLLKey);
    PostChars(buildId, L"1a2 b34");
    WaitForIdle(App().Handle(), Main());
    EXPECT_EQ(WindowText(buildId), L"123");
}

}  // namespace
}  // namespace e2e
