#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "framework/core/Handles.h"
#include "framework/theme/StyleManager.h"
#include "tests/unit/style_test_support.h"

using style_test::SampleStyleBytes;

namespace {

class StyleManagerTest : public ::testing::Test {
protected:
    // Whatever a test registers is forgotten again.
    void TearDown() override { TStyleManager::SetResourceModule(nullptr); }
};

std::wstring TrySetStyleError(const std::wstring& name) {
    try {
        TStyleManager::TrySetStyle(name, false);
    } catch (const ECustomStyleException& e) {
        return e.Message();
    }
    return L"(no error)";
}

const std::vector<uint8_t> corrupt = {0x78, 0x9C, 0x01};

}  // namespace

TEST_F(StyleManagerTest, FindsRegisteredStyleIgnoringCaseAndActivatesIt) {
    TStyleManager::SetResources({{L"CARBON", SampleStyleBytes("Carbon")},
                                 {L"OTHER", SampleStyleBytes("Other Look")}});
    EXPECT_EQ(TStyleManager::ActiveStyle(), nullptr);
    EXPECT_FALSE(TStyleManager::IsStyleEnabled());

    ASSERT_TRUE(TStyleManager::TrySetStyle(L"cARBON", false));
    ASSERT_NE(TStyleManager::ActiveStyle(), nullptr);
    EXPECT_EQ(TStyleManager::ActiveStyle()->Name(), L"Carbon");
    EXPECT_EQ(TStyleManager::FindStyle(L"OTHER LOOK"), TStyleManager::FindStyle(L"other look"));
    EXPECT_EQ(TStyleManager::StyleNames(), (std::vector<std::wstring>{L"Carbon", L"Other Look"}));

    ASSERT_TRUE(TStyleManager::TrySetStyle(L"Other Look", false));
    EXPECT_EQ(TStyleManager::ActiveStyle()->Name(), L"Other Look");
    // An unknown name leaves the active style as it was.
    EXPECT_FALSE(TStyleManager::TrySetStyle(L"Carbo", false));
    EXPECT_FALSE(TStyleManager::TrySetStyle(L"Carbon ", false));
    EXPECT_EQ(TStyleManager::ActiveStyle()->Name(), L"Other Look");
}

TEST_F(StyleManagerTest, IsStyleEnabledOnlyWithActiveStyleOutsideHighContrast) {
    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof highContrast;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0));
    if (highContrast.dwFlags & HCF_HIGHCONTRASTON) GTEST_SKIP() << "high contrast is on";

    TStyleManager::SetResources({{L"CARBON", SampleStyleBytes("Carbon")}});
    EXPECT_FALSE(TStyleManager::IsStyleEnabled());
    ASSERT_TRUE(TStyleManager::TrySetStyle(L"Carbon", false));
    EXPECT_TRUE(TStyleManager::IsStyleEnabled());
}

TEST_F(StyleManagerTest, OneBadResourceIsNamedAndTheOthersStillLoad) {
    TStyleManager::SetResources({{L"CARBON", corrupt}, {L"SPARE", SampleStyleBytes("Spare")}});
    EXPECT_EQ(TrySetStyleError(L"Spare"), L"Unable to load style 'CARBON'");
    EXPECT_EQ(TStyleManager::ActiveStyle(), nullptr);
    // Discovery is not repeated: the error is raised once, and what loaded is there.
    EXPECT_TRUE(TStyleManager::TrySetStyle(L"Spare", false));
    EXPECT_EQ(TStyleManager::StyleNames(), std::vector<std::wstring>{L"Spare"});
}

TEST_F(StyleManagerTest, SeveralBadResourcesAreJoinedByCommas) {
    // A second style recorded as "carbon" clashes with "Carbon", whatever the case.
    TStyleManager::SetResources({{L"BROKEN", corrupt},
                                 {L"CARBON", SampleStyleBytes("Carbon")},
                                 {L"COPY", SampleStyleBytes("carbon")},
                                 {L"EMPTY", {}}});
    EXPECT_EQ(TrySetStyleError(L"Carbon"), L"Unable to load styles: BROKEN,COPY,EMPTY");
    EXPECT_TRUE(TStyleManager::TrySetStyle(L"Carbon", false));
    EXPECT_EQ(TStyleManager::StyleNames(), std::vector<std::wstring>{L"Carbon"});
}

TEST_F(StyleManagerTest, ChangingTheSourceForgetsStyles) {
    TStyleManager::SetResources({{L"CARBON", SampleStyleBytes("Carbon")}});
    ASSERT_TRUE(TStyleManager::TrySetStyle(L"Carbon", false));
    TStyleManager::SetResources({});
    EXPECT_EQ(TStyleManager::ActiveStyle(), nullptr);
    EXPECT_FALSE(TStyleManager::TrySetStyle(L"Carbon", false));
}

TEST_F(StyleManagerTest, ModuleWithoutStylesYieldsNone) {
    const HMODULE self = GetModuleHandleW(nullptr);
    EXPECT_TRUE(TStyleManager::EnumStyleResources(self).empty());
    TStyleManager::SetResourceModule(self);
    EXPECT_FALSE(TStyleManager::TrySetStyle(L"Carbon", false));
}

// The executable built beside the tests carries the compiled Carbon style.
TEST_F(StyleManagerTest, DiscoversCarbonInTheExecutable) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::wstring exe(path, length);
    exe = exe.substr(0, exe.find_last_of(L"\\/"));
    exe = exe.substr(0, exe.find_last_of(L"\\/")) + L"\\KorvaneCFG.exe";
    const UniqueModule module(LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) GTEST_SKIP() << "KorvaneCFG.exe is not built";

    const std::vector<TStyleResource> found = TStyleManager::EnumStyleResources(module.get());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Name, L"CARBON");
    EXPECT_EQ(found[0].Bytes,
              style_test::ReadBytes(style_test::RepoFile("resources/style/carbon.vsf")));

    TStyleManager::SetResourceModule(module.get());
    EXPECT_TRUE(TStyleManager::TrySetStyle(L"Carbon", false));
    ASSERT_NE(TStyleManager::ActiveStyle(), nullptr);
    EXPECT_EQ(TStyleManager::ActiveStyle()->Name(), L"Carbon");
    TStyleManager::SetResourceModule(nullptr);  // before the module goes
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

TEST_F(StyleManagerTest, UnknownStyleShowsErrorBoxWithCloseButton) {
    TStyleManager::SetResources({{L"CARBON", SampleStyleBytes("Carbon")}});
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

    const UniqueModule comctl(LoadLibraryW(L"comctl32.dll"));
    if (comctl && GetProcAddress(comctl.get(), "TaskDialogIndirect")) {
        EXPECT_TRUE(Contains(seen.texts, L"&Close"));
        EXPECT_FALSE(Contains(seen.texts, L"OK"));
    }
}
