#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "framework/core/Handles.h"
#include "framework/theme/StyleManager.h"
#include "tests/unit/style_test_support.h"

using style_test::SampleStyleBytes;

namespace {

// The message of the error that loading `resources` raises, or "(loaded)".
std::wstring LoadStylesError(const std::vector<TStyleResource>& resources) {
    try {
        LoadStyles(resources);
    } catch (const ECustomStyleException& e) {
        return e.Message();
    }
    return L"(loaded)";
}

const std::vector<uint8_t> corrupt = {0x78, 0x9C, 0x01};

}  // namespace

TEST(StyleLoading, LoadsEveryGoodResourceUnderItsRecordedName) {
    const auto styles = LoadStyles({{L"CARBON", SampleStyleBytes("Carbon")}, {L"OTHER", SampleStyleBytes("Other Look")}});
    ASSERT_EQ(styles.size(), 2u);
    EXPECT_EQ(styles[0]->Name(), L"Carbon");
    EXPECT_EQ(styles[1]->Name(), L"Other Look");
}

TEST(StyleLoading, NamesEveryResourceThatFails) {
    EXPECT_EQ(LoadStylesError({{L"CARBON", corrupt}, {L"SPARE", SampleStyleBytes("Spare")}}),
              L"Unable to load style 'CARBON'");
    // A second style recorded as "carbon" clashes with "Carbon", whatever the case.
    EXPECT_EQ(LoadStylesError({{L"BROKEN", corrupt},
                               {L"CARBON", SampleStyleBytes("Carbon")},
                               {L"COPY", SampleStyleBytes("carbon")},
                               {L"EMPTY", {}}}),
              L"Unable to load styles: BROKEN,COPY,EMPTY");
    EXPECT_EQ(LoadStylesError({}), L"(loaded)");
}

TEST(StyleLoading, FindsTheStyleResourcesOfAModule) {
    EXPECT_TRUE(EnumStyleResources(GetModuleHandleW(L"kernel32.dll")).empty());
    // The test program carries the committed Carbon style, as the executable does.
    const std::vector<TStyleResource> found = EnumStyleResources(GetModuleHandleW(nullptr));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Name, L"CARBON");
    EXPECT_EQ(found[0].Bytes, style_test::ReadBytes(style_test::RepoFile("resources/style/carbon.vsf")));
}

// The process-wide style, as start-up sets it: discovery in the executable,
// a name found whatever its letter case, and an unknown name changing nothing.
TEST(StyleManager, ActivatesTheExecutablesStyleByNameInAnyCase) {
    EXPECT_EQ(TStyleManager::ActiveStyle(), nullptr);
    EXPECT_FALSE(TStyleManager::IsStyleEnabled());
    ASSERT_TRUE(TStyleManager::TrySetStyle(L"cARBON", false));
    ASSERT_NE(TStyleManager::ActiveStyle(), nullptr);
    EXPECT_EQ(TStyleManager::ActiveStyle()->Name(), L"Carbon");
    const TCustomStyle* carbon = TStyleManager::ActiveStyle();
    EXPECT_FALSE(TStyleManager::TrySetStyle(L"Carbo", false));
    EXPECT_FALSE(TStyleManager::TrySetStyle(L"Carbon ", false));
    EXPECT_EQ(TStyleManager::ActiveStyle(), carbon);

    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof highContrast;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0));
    EXPECT_EQ(TStyleManager::IsStyleEnabled(), (highContrast.dwFlags & HCF_HIGHCONTRASTON) == 0);
}

// --- The style-not-found box -------------------------------------------------------

namespace {

struct TBoxSeen {
    bool found = false;
    std::wstring caption;
    std::vector<std::wstring> texts;  // of the box's child windows
    int ticks = 0;
};
TBoxSeen seen;

std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

BOOL CALLBACK CollectChildText(HWND child, LPARAM) {
    seen.texts.push_back(WindowText(child));
    return TRUE;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

// Runs inside the box's own modal loop: reads the box, then presses its button.
void CALLBACK InspectAndCloseBox(HWND, UINT, UINT_PTR, DWORD) {
    ++seen.ticks;
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    if (!seen.found) {
        seen.found = true;
        seen.caption = WindowText(box);
        EnumChildWindows(box, CollectChildText, 0);
    }
    const bool taskDialog =
        std::find(seen.texts.begin(), seen.texts.end(), L"&Close") != seen.texts.end();
    if (taskDialog)
        PostMessageW(box, TDM_CLICK_BUTTON, TStyleManager::CloseButtonId, 0);
    else
        PostMessageW(box, WM_CLOSE, 0, 0);
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

}  // namespace

TEST(StyleManager, UnknownStyleShowsErrorBoxWithCloseButton) {
    seen = TBoxSeen();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, InspectAndCloseBox);
    ASSERT_NE(timer, 0u);
    const bool applied = TStyleManager::TrySetStyle(L"Graphite", true);
    KillTimer(nullptr, timer);

    EXPECT_FALSE(applied);
    EXPECT_EQ(TStyleManager::ActiveStyle(), nullptr);
    ASSERT_TRUE(seen.found) << "no box was shown";
    EXPECT_EQ(seen.caption, L"Error");
    EXPECT_TRUE(Contains(seen.texts, L"Style 'Graphite' not found"));

    const HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    if (comctl && GetProcAddress(comctl, "TaskDialogIndirect")) {
        EXPECT_TRUE(Contains(seen.texts, L"&Close"));
        EXPECT_FALSE(Contains(seen.texts, L"OK"));
    }
}
