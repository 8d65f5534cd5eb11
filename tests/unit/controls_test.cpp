// The control rules on real windows: a small form built from a description,
// driven with the same messages a user or an automation tool would send.
#include <gtest/gtest.h>

#include "app/FatalError.h"
#include "framework/core/Application.h"
#include "framework/controls/CheckBox.h"
#include "framework/controls/Edit.h"
#include "framework/core/Form.h"
#include "framework/controls/RadioGroup.h"

namespace {

struct Counters {
    int editChanges = 0;
    int groupClicks = 0;
    int clickIndexSeen = -2;
    std::wstring textSeen;
};

class TTestForm : public TForm {
public:
    explicit TTestForm(Counters& counters) : TForm(L"TestForm"), counters_(counters) {}
    TEdit* edit = nullptr;
    TEdit* numbers = nullptr;
    TRadioGroup* group = nullptr;
    TRadioGroup* disabledGroup = nullptr;

    static const TFormDescription& Layout() {
        static const TFormDescription d{
            .name = L"TTestForm", .caption = L"Test", .clientWidth = 300, .clientHeight = 200,
            .fontName = L"Tahoma", .fontHeight = -11, .iconResource = L"MAINICON", .onCreate = nullptr,
            .controls = {
                {.kind = ControlClass<TEdit>, .name = L"edit", .parent = nullptr, .id = 10, .bounds = {5, 5, 80, 21},
                 .text = L"start", .tabOrder = 0, .events = {{L"OnChange", L"EditChange"}}},
                {.kind = ControlClass<TEdit>, .name = L"numbers", .parent = nullptr, .id = 11, .bounds = {5, 30, 80, 21},
                 .text = L"", .tabOrder = 1, .numbersOnly = true, .maxLength = 3,
                 .events = {{L"OnChange", L"EditChange"}}},
                {.kind = ControlClass<TRadioGroup>, .name = L"group", .parent = nullptr, .id = 20,
                 .bounds = {100, 5, 81, 86}, .text = L"Group", .tabOrder = 2,
                 .items = {L"A", L"B", L"C"}, .itemIndex = 0, .events = {{L"OnClick", L"GroupClick"}}},
                {.kind = ControlClass<TRadioGroup>, .name = L"disabledGroup", .parent = nullptr, .id = 30,
                 .bounds = {190, 5, 97, 86}, .text = L"Off", .tabOrder = 3, .enabled = false,
                 .items = {L"X", L"Y"}, .itemIndex = 0, .events = {{L"OnClick", L"GroupClick"}}},
            }};
        return d;
    }

protected:
    const TFormDescription& Description() const override { return Layout(); }
    void Loaded() override {
        edit = static_cast<TEdit*>(FindControl(L"edit"));
        numbers = static_cast<TEdit*>(FindControl(L"numbers"));
        group = static_cast<TRadioGroup*>(FindControl(L"group"));
        disabledGroup = static_cast<TRadioGroup*>(FindControl(L"disabledGroup"));
    }
    TNotifyEvent FindMethod(const std::wstring& name) override {
        if (name == L"EditChange")
            return [this](TComponent* sender) {
                ++counters_.editChanges;
                counters_.textSeen = static_cast<TEdit*>(sender)->Text();
            };
        if (name == L"GroupClick")
            return [this](TComponent* sender) {
                ++counters_.groupClicks;
                counters_.clickIndexSeen = static_cast<TRadioGroup*>(sender)->ItemIndex();
            };
        return nullptr;
    }

private:
    Counters& counters_;
};

class ControlRules : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Application) application_ = std::make_unique<TApplication>();
        form_ = std::make_unique<TTestForm>(counters_);
        try {
            form_->Build();
        } catch (const Exception& e) {
            FAIL() << "building the form failed: " << std::string(e.Message().begin(), e.Message().end());
        }
        ShowWindow(form_->Handle(), SW_SHOWNORMAL);
        SetForegroundWindow(form_->Handle());
    }
    void TearDown() override { form_.reset(); }

    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    static bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // Puts a block of `size` bytes holding `bytes` on the clipboard as its text; returns the block.
    HGLOBAL PutClipboardText(const void* bytes, size_t size) const {
        if (!OpenClipboard(form_->Handle())) return nullptr;
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
        return memory;
    }
    static std::wstring TextOf(HWND window) {
        wchar_t buffer[64]{};
        GetWindowTextW(window, buffer, 64);
        return buffer;
    }

    Counters counters_;
    std::unique_ptr<TTestForm> form_;
    std::unique_ptr<TApplication> application_;
};

TEST_F(ControlRules, NoHandlerRunsWhileTheFormIsBuilt) {
    EXPECT_EQ(counters_.editChanges, 0);
    EXPECT_EQ(counters_.groupClicks, 0);
    EXPECT_EQ(form_->edit->Text(), L"start");
    EXPECT_EQ(form_->group->ItemIndex(), 0);
    EXPECT_TRUE(IsChecked(form_->group->ItemHandle(0)));
}

TEST_F(ControlRules, StoringTheSameTextDoesNothingAndADifferentTextRunsOnChangeOnce) {
    form_->edit->SetText(L"start");
    EXPECT_EQ(counters_.editChanges, 0);
    form_->edit->SetText(L"next");
    EXPECT_EQ(counters_.editChanges, 1);
    EXPECT_EQ(counters_.textSeen, L"next");  // stored before the handler ran
    EXPECT_EQ(TextOf(form_->edit->Handle()), L"next");
}

TEST_F(ControlRules, ATextWithANulIsHeldUpToItAndStoringItAgainRunsNothing) {
    // A handler that stores the edit's own text again, as the code edits' do,
    // must not run for ever when the edit cannot hold what it was given.
    int runs = 0;
    form_->edit->BindEvent(L"OnChange", [&](TComponent*) {
        if (++runs < 10) form_->edit->SetText(form_->edit->Text());
    });
    const std::wstring withNul(L"1\0tail", 6);
    form_->edit->SetText(withNul);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(form_->edit->Text(), L"1");
    EXPECT_EQ(TextOf(form_->edit->Handle()), L"1");
    form_->edit->SetText(withNul);
    EXPECT_EQ(runs, 1);
    form_->edit->SetText(std::wstring(L"\0x", 2));
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(form_->edit->Text(), L"");
}

TEST_F(ControlRules, WmSetTextFromOutsideCountsOnlyWhenTheTextChanges) {
    // What an automation tool does: the system reports EN_CHANGE both times.
    SendMessageW(form_->edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"start"));
    EXPECT_EQ(counters_.editChanges, 0);
    SendMessageW(form_->edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"other"));
    EXPECT_EQ(counters_.editChanges, 1);
    EXPECT_EQ(form_->edit->Text(), L"other");
}

TEST_F(ControlRules, DigitsOnlyEditRefusesTypedAndPastedNonDigitsButKeepsStoredTexts) {
    HWND numbers = form_->numbers->Handle();
    SetFocus(numbers);
    for (wchar_t c : std::wstring(L"4a-9 ")) SendMessageW(numbers, WM_CHAR, c, 0);
    EXPECT_EQ(TextOf(numbers), L"49");

    auto paste = [&](const wchar_t* text) {
        ASSERT_NE(PutClipboardText(text, (wcslen(text) + 1) * sizeof(wchar_t)), nullptr);
        SendMessageW(numbers, WM_PASTE, 0, 0);
    };
    SendMessageW(numbers, EM_SETSEL, 0, -1);
    paste(L"4a9z1");
    EXPECT_EQ(TextOf(numbers), L"49");
    SendMessageW(numbers, EM_SETSEL, 0, -1);
    paste(L"12345");  // the limit of three still holds for pasting
    EXPECT_EQ(TextOf(numbers), L"123");

    form_->numbers->SetText(L"12 x long");
    EXPECT_EQ(TextOf(numbers), L"12 x long");
    EXPECT_EQ(SendMessageW(numbers, EM_GETLIMITTEXT, 0, 0), 3);
}

TEST_F(ControlRules, DigitsOnlyEditRefusesAPastedTextWithoutItsFinalNul) {
    // Digits to the end of the block, and a NUL only beyond it: the block is
    // made with room for "123" and its NUL and then shrunk by the NUL, so a
    // check that read past the block would find the NUL there and take it.
    const HGLOBAL memory = PutClipboardText(L"123", 4 * sizeof(wchar_t));
    ASSERT_NE(memory, nullptr);
    ASSERT_TRUE(OpenClipboard(form_->Handle()));
    const HANDLE held = GetClipboardData(CF_UNICODETEXT);
    const bool shrunk = GlobalReAlloc(memory, 3 * sizeof(wchar_t), 0) == memory;
    CloseClipboard();
    // The edit must see this very block, not a copy made with a NUL.
    ASSERT_EQ(held, memory);
    ASSERT_TRUE(shrunk);
    ASSERT_EQ(GlobalSize(memory), 3 * sizeof(wchar_t));

    HWND numbers = form_->numbers->Handle();
    SendMessageW(numbers, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(numbers), L"");
    ASSERT_NE(PutClipboardText(L"12\0x", 4 * sizeof(wchar_t)), nullptr);  // ended within its block
    SendMessageW(numbers, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(numbers), L"12");
}

TEST_F(ControlRules, SettingItemIndexClampsAndRunsOnClickOnlyOnAChange) {
    TRadioGroup& group = *form_->group;
    group.SetItemIndex(0);
    EXPECT_EQ(counters_.groupClicks, 0);

    group.SetItemIndex(7);  // beyond the last item: the last item
    EXPECT_EQ(group.ItemIndex(), 2);
    EXPECT_EQ(counters_.groupClicks, 1);
    EXPECT_EQ(counters_.clickIndexSeen, 2);

    group.SetItemIndex(-5);  // below -1: nothing selected, and no click
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(counters_.groupClicks, 1);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsChecked(group.ItemHandle(i)));
    // With nothing selected the keyboard can still reach the group.
    EXPECT_TRUE(GetWindowLongW(group.ItemHandle(0), GWL_STYLE) & WS_TABSTOP);

    group.SetItemIndex(1);
    EXPECT_EQ(counters_.groupClicks, 2);
    EXPECT_TRUE(IsChecked(group.ItemHandle(1)));
    EXPECT_FALSE(GetWindowLongW(group.ItemHandle(0), GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongW(group.ItemHandle(1), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(ControlRules, UserClicksSelectOtherItemsOnceAndIgnoreTheSelectedOne) {
    TRadioGroup& group = *form_->group;
    SendMessageW(group.ItemHandle(0), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(counters_.groupClicks, 0);

    SendMessageW(group.ItemHandle(2), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(counters_.groupClicks, 1);
    EXPECT_EQ(group.ItemIndex(), 2);
    EXPECT_TRUE(IsChecked(group.ItemHandle(2)));
    EXPECT_FALSE(IsChecked(group.ItemHandle(0)));
}

TEST_F(ControlRules, FocusAloneSelectsNothingButArrowKeysDo) {
    TRadioGroup& group = *form_->group;
    SetFocus(group.ItemHandle(1));
    Pump();
    EXPECT_EQ(group.ItemIndex(), 0);
    EXPECT_EQ(counters_.groupClicks, 0);

    SetFocus(group.ItemHandle(0));
    SendMessageW(group.ItemHandle(0), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(counters_.groupClicks, 1);
    EXPECT_EQ(GetFocus(), group.ItemHandle(1));
    SendMessageW(group.ItemHandle(1), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(group.ItemIndex(), 0);
}

TEST_F(ControlRules, DisabledGroupRefusesEveryUserSelection) {
    TRadioGroup& group = *form_->disabledGroup;
    EXPECT_FALSE(IsWindowEnabled(group.Handle()));
    EXPECT_FALSE(IsWindowEnabled(group.ItemHandle(0)));
    SendMessageW(group.ItemHandle(1), BM_CLICK, 0, 0);
    SendMessageW(group.Handle(), WM_COMMAND, MAKEWPARAM(31, BN_CLICKED),
                 reinterpret_cast<LPARAM>(group.ItemHandle(1)));
    Pump();
    EXPECT_EQ(group.ItemIndex(), 0);
    EXPECT_TRUE(IsChecked(group.ItemHandle(0)));
    EXPECT_EQ(counters_.groupClicks, 0);
    // The program itself can still select.
    group.SetItemIndex(1);
    EXPECT_EQ(counters_.groupClicks, 1);
}

TEST_F(ControlRules, TabVisitsTheControlsInTabOrderAndOnlyTheSelectedRadioItem) {
    HWND form = form_->Handle();
    HWND first = GetNextDlgTabItem(form, nullptr, FALSE);
    EXPECT_EQ(first, form_->edit->Handle());
    HWND second = GetNextDlgTabItem(form, first, FALSE);
    EXPECT_EQ(second, form_->numbers->Handle());
    HWND third = GetNextDlgTabItem(form, second, FALSE);
    EXPECT_EQ(third, form_->group->ItemHandle(0));
    EXPECT_EQ(GetNextDlgTabItem(form, third, FALSE), first);  // the disabled group is skipped
    EXPECT_EQ(GetNextDlgTabItem(form, first, TRUE), third);
}

TEST(ErrorBox, FinalPeriodRule) {
    EXPECT_EQ(ErrorBoxText(Exception(L"File access denied")), L"File access denied.");
    EXPECT_EQ(ErrorBoxText(Exception(L"Done.")), L"Done.");
    EXPECT_EQ(ErrorBoxText(Exception(L"Success!")), L"Success!");
    EXPECT_EQ(ErrorBoxText(Exception(L"I/O error 32")), L"I/O error 32.");
    EXPECT_EQ(ErrorBoxText(Exception(L"C:\\x:")), L"C:\\x:.");
    EXPECT_EQ(ErrorBoxText(Exception(L"")), L"");
}

TEST(ErrorBox, FatalTextNamesClassModuleAndOffset) {
    EFOpenError error(L"C:\\nowhere\\game.dat", ERROR_FILE_NOT_FOUND);
    error.SetRaiseAddress(reinterpret_cast<const char*>(GetModuleHandleW(nullptr)) + 0x1A2B);
    const std::wstring text = FatalErrorText(error.ClassName(), error.Message(), error.RaiseAddress());
    EXPECT_EQ(text.rfind(L"Exception EFOpenError in module unit_tests.exe at 00001A2B.\r\n", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 3), L".\r\n");
}

// What a catch point reports for an error that is being handled.
std::pair<std::wstring, std::wstring> CurrentErrorSeen(const void* where) {
    std::pair<std::wstring, std::wstring> seen;
    UseCurrentError(where, [&](const Exception& e) {
        seen = {e.ClassName(), e.Message()};
        EXPECT_EQ(e.RaiseAddress(), where);
    });
    return seen;
}

TEST(ErrorBox, ForeignCppErrorsBecomeSensibleErrors) {
    const void* here = reinterpret_cast<const void*>(&CurrentErrorSeen);
    try {
        throw std::bad_alloc();
    } catch (...) {
        EXPECT_EQ(CurrentErrorSeen(here), std::make_pair(std::wstring(L"EOutOfMemory"), std::wstring(L"Out of memory")));
    }
    try {
        throw std::runtime_error("boom");
    } catch (...) {
        EXPECT_EQ(CurrentErrorSeen(here), std::make_pair(std::wstring(L"EExternalException"), std::wstring(L"boom")));
    }
}

TEST(ApplicationTitle, DefaultTitleCutsAtFirstDotAndLowersTheRest) {
    EXPECT_EQ(TApplication::DefaultTitle(L"C:\\a.b\\KorvaneCFG.exe"), L"Korvanecfg");
    EXPECT_EQ(TApplication::DefaultTitle(L"C:\\x\\MY.TOOL.EXE"), L"My");
    EXPECT_EQ(TApplication::DefaultTitle(L"k"), L"k");
}

TEST(Placement, WorkAreaRuleCentresAndClampsToTheDesktop) {
    EXPECT_EQ(TForm::CenteredPosition({0, 0, 1024, 738}, {0, 0, 0, 0}, {360, 374}).x, 332);
    EXPECT_EQ(TForm::CenteredPosition({0, 0, 1024, 738}, {0, 0, 0, 0}, {360, 374}).y, 182);
    // A work area that does not start at the corner: the formula ignores its offset.
    EXPECT_EQ(TForm::CenteredPosition({100, 50, 1124, 818}, {0, 0, 0, 0}, {360, 374}).x, 332);
    // A window larger than the work area is raised to the desktop's edge.
    EXPECT_EQ(TForm::CenteredPosition({0, 0, 300, 300}, {-10, 0, 0, 0}, {400, 400}).x, -10);
    EXPECT_EQ(TForm::CenteredPosition({0, 0, 300, 300}, {-10, 0, 0, 0}, {400, 400}).y, 0);
}

}  // namespace
