#include "tests/e2e/SettingsDriver.h"

#include <algorithm>
#include <cstdio>

namespace e2e {

void PrintTo(const ShownSettings& shown, std::ostream* out) {
    *out << "{mode \"" << Narrow(shown.mode) << "\", chronicle \"" << Narrow(shown.chronicle)
         << "\", build ID \"" << Narrow(shown.buildId) << "\", logo " << (shown.logo ? "on" : "off")
         << ", Bot Engine item " << shown.protectionItem << ", chronicle item " << shown.chronicleItem
         << "}";
}

int CheckedItem(HWND main, int groupId) {
    int checked = kNoItem;
    for (int index = 0; index < 3; ++index) {
        HWND item = DescendantById(main, RadioItemId(groupId, index));
        if (!item || CheckState(item) != BST_CHECKED) continue;
        if (checked != kNoItem) return kSeveralItems;
        checked = index;
    }
    return checked;
}

ShownSettings ReadShown(HWND main) {
    ShownSettings shown;
    shown.mode = WindowText(DescendantById(main, kIdPMode));
    shown.chronicle = WindowText(DescendantById(main, kIdPCronic));
    shown.buildId = WindowText(DescendantById(main, kIdDLLKey));
    shown.logo = CheckState(DescendantById(main, kIdShowCustomLogo)) == BST_CHECKED;
    shown.protectionItem = CheckedItem(main, kIdProtectionGrp);
    shown.chronicleItem = CheckedItem(main, kIdChronicleGrp);
    return shown;
}

std::string CrLfLines(std::initializer_list<std::string_view> lines) {
    std::string bytes;
    for (std::string_view line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

std::string LargeSettings(char mode, int fillerLines) {
    std::string bytes = CrLfLines({"[DEFAULT]", "PROTECTION_ID = 0", std::string("PROTECTION_MODE = ") + mode,
                                   "PROTECTION_CHRONICLE = 0", "PROTECTION_LOGO = 1", "PROTECTION_CLIENT_ID = 0"});
    bytes.reserve(bytes.size() + fillerLines * 64);
    char line[80];
    for (int i = 0; i < fillerLines; ++i) {
        std::snprintf(line, sizeof line, "; filler %06d abcdefghijklmnopqrstuvwxyz 0123456789 ABCDEFGHIJK\r\n", i);
        bytes += line;
    }
    return bytes;
}

std::string Visible(std::string_view bytes) {
    std::string shown;
    for (unsigned char c : bytes) {
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n\n";
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

ClipboardText::ClipboardText(std::wstring_view text) {
    // Without an owner window, SetClipboardData fails after EmptyClipboard.
    owner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!owner_) return;
    // Another program may hold the clipboard for a moment.
    if (!WaitUntil([&] { return OpenClipboard(owner_) != FALSE; }, kStepTimeoutMs)) return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (auto* chars = static_cast<wchar_t*>(GlobalLock(memory))) {
            std::copy(text.begin(), text.end(), chars);
            chars[text.size()] = L'\0';
            GlobalUnlock(memory);
            placed_ = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!placed_) GlobalFree(memory);  // the clipboard took it only on success
    }
    CloseClipboard();
}

ClipboardText::~ClipboardText() {
    if (owner_) DestroyWindow(owner_);
}

void ExpectBytes(const std::optional<std::string>& actual, std::string_view expected) {
    ASSERT_TRUE(actual.has_value()) << "game.dat is missing";
    if (expected.size() <= 4096) {
        EXPECT_EQ(Visible(*actual), Visible(expected));
        return;
    }
    // Too large to print: say where they part.
    const auto differs = std::mismatch(actual->begin(), actual->end(), expected.begin(), expected.end()).first;
    EXPECT_TRUE(*actual == expected) << actual->size() << " bytes instead of " << expected.size()
                                     << ", first difference at " << (differs - actual->begin());
}

void SettingsTest::SetUp() {
    // The expected bytes are those of the Western European ANSI code page.
    if (GetACP() != 1252) GTEST_SKIP() << "needs ANSI code page 1252, this system has " << GetACP();
    AppTest::SetUp();
}

HWND SettingsTest::StartWith(std::string_view settings, const LaunchOptions& options) {
    WriteSettings(settings);
    return StartMain(options);
}

void SettingsTest::Settle() { WaitForIdle(App().Handle(), Main()); }

void SettingsTest::Choose(int groupId, int index) {
    SendOrZero(Control(RadioItemId(groupId, index)), BM_CLICK);
    Settle();
}

void SettingsTest::ClickLogo() {
    SendOrZero(Control(kIdShowCustomLogo), BM_CLICK);
    Settle();
}

void SettingsTest::TypeOverBuildId(std::wstring_view typed) {
    HWND field = Control(kIdDLLKey);
    SendOrZero(field, EM_SETSEL, 0, -1);
    PostChars(field, typed);
    Settle();
}

void SettingsTest::TypeAtEndOfBuildId(std::wstring_view typed) {
    HWND field = Control(kIdDLLKey);
    const LRESULT end = SendOrZero(field, WM_GETTEXTLENGTH);
    SendOrZero(field, EM_SETSEL, static_cast<WPARAM>(end), end);
    PostChars(field, typed);
    Settle();
}

void SettingsTest::PasteIntoBuildId() {
    SendOrZero(Control(kIdDLLKey), WM_PASTE);
    Settle();
}

HWND SettingsTest::PressSave() {
    // Posted: the click shows a modal notice, so a sent click would not return.
    PostMessageW(Control(kIdSave), BM_CLICK, 0, 0);
    return WaitForDialog(App());
}

void SettingsTest::SaveExpecting(std::string_view expected, OtherReaders otherReaders) {
    std::vector<std::wstring> filesBefore = FilesIn(Folder().Path());
    HWND notice = PressSave();
    ASSERT_NE(notice, nullptr) << "no notice after Save";
    DialogContent content = ReadDialog(notice);
    EXPECT_EQ(content.caption, L"Korvane Configurator");
    EXPECT_EQ(content.message, L"Success!") << "the notice says something else: an error?";
    // The icon is told by its pixels on the shared screen, where another
    // window may cover it for a moment.
    IconKind icon = content.icon;
    WaitUntil(
        [&] {
            if (icon == IconKind::Information) return true;
            BringToForeground(notice);
            UpdateWindow(notice);
            return (icon = DialogIcon(notice)) == IconKind::Information;
        },
        kStepTimeoutMs, 100);
    EXPECT_EQ(icon, IconKind::Information);
    ASSERT_EQ(content.buttons.size(), 1u);
    EXPECT_EQ(content.buttons[0].id, IDOK);
    EXPECT_EQ(GetWindow(notice, GW_OWNER), nullptr) << "the notice has an owner";

    // By the time the notice is up, the new content is in place and closed:
    // nobody holds the file, so it can be opened without sharing.
    {
        SCOPED_TRACE("while the notice is up");
        ExpectBytes(ReadSettings(), expected);
    }
    if (otherReaders == OtherReaders::None) {
        UniqueFile exclusive(CreateFileW(Folder().PathOf(kSettingsFile).c_str(), GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(static_cast<bool>(exclusive)) << "game.dat is still open: error " << GetLastError();
    }

    ASSERT_TRUE(PressDialogButton(notice, IDOK));
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(0));
    ExpectBytes(ReadSettings(), expected);
    EXPECT_EQ(FilesIn(Folder().Path()), filesBefore) << "a temporary or backup file was left behind";
}

void SettingsTest::CloseWithoutSaving() {
    PostMessageW(Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(0));
}

}  // namespace e2e
