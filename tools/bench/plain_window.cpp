// What the configurator's window costs when nothing of it is our own: the
// same window (size, frame, centred) with the same controls at the same
// places, built from plain standard controls with CreateWindowExW as a
// dialog would have them: all children of the window, group boxes beside
// their contents. Tahoma 8 pt, the common controls of version 6 as the
// configurator's manifest asks, no style, no pictures (the banner's place
// stays empty, the Save button has no glyph), the system's colours. The
// hidden code fields are there too. Focus on the first tab stop, shown and
// painted as the configurator shows itself.
#include <windows.h>
#include <commctrl.h>

namespace {
HINSTANCE gInstance;
HFONT gFont;

constexpr DWORD kShown = WS_VISIBLE;

HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, HWND parent, int x, int y, int w,
         int h) {
    HWND window = CreateWindowExW(exStyle, cls, text, style | WS_CHILD, x, y, w, h, parent, nullptr,
                                  gInstance, nullptr);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(gFont), FALSE);
    return window;
}

// A group box and three radio items below it, laid out as the configurator
// lays them. As in a dialog, the group box is the items' sibling.
void AddRadioGroup(HWND form, const wchar_t* caption, const wchar_t* const (&items)[3], int x, int y, int w, int h,
                   DWORD state) {
    Add(L"Button", caption, kShown | BS_GROUPBOX | state, 0, form, x, y, w, h);
    const int room = h - 13 - 5, itemHeight = room / 3, top = 13 + 1 + (room % 3) / 2;
    for (int i = 0; i < 3; ++i) {
        HWND item = Add(L"Button", items[i], kShown | BS_RADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0) | state, 0, form,
                        x + 8, y + top + i * itemHeight, w - 10, itemHeight);
        if (i == 0) SendMessageW(item, BM_SETCHECK, BST_CHECKED, 0);
    }
}

// The label's width is that of its text, as the configurator sizes it.
int TextWidth(const wchar_t* text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, gFont);
    SIZE size{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

// The configurator's controls at its places: those of its lower group box
// are offset by the box's position (0, 177).
void AddControls(HWND form) {
    constexpr int y = 177;
    Add(L"Static", L"", kShown | SS_LEFT, 0, form, 0, 0, 354, 177);  // the banner's place
    Add(L"Button", L"Korvane System Configs", kShown | BS_GROUPBOX, 0, form, 0, y, 354, 168);
    Add(L"Button", L"Show Custom Server Logo", kShown | WS_TABSTOP | BS_AUTOCHECKBOX, 0, form, 23, y + 27, 148, 17);
    AddRadioGroup(form, L"Chronicle", {L"INTERLUDE", L"HIGH FIVE", L"CLASSIC"}, 8, y + 50, 97, 86, WS_DISABLED);
    AddRadioGroup(form, L"Bot Engine", {L"DEFAULT", L"FULL", L"CUSTOM"}, 111, y + 50, 81, 86, 0);
    HWND key = Add(L"Edit", L"", kShown | WS_TABSTOP | ES_AUTOHSCROLL | ES_CENTER | ES_NUMBER, WS_EX_CLIENTEDGE, form, 285,
                   y + 27, 54, 21);
    SendMessageW(key, EM_LIMITTEXT, 3, 0);
    Add(L"Button", L"Save", kShown | WS_TABSTOP | BS_PUSHBUTTON, 0, form, 208, y + 77, 131, 59);
    // The two code fields, hidden.
    Add(L"Edit", L"0", ES_AUTOHSCROLL | ES_CENTER | ES_NUMBER | ES_READONLY, WS_EX_CLIENTEDGE, form, 208, y + 49, 28, 22);
    Add(L"Edit", L"0", ES_AUTOHSCROLL | ES_CENTER | ES_NUMBER | ES_READONLY, WS_EX_CLIENTEDGE, form, 242, y + 49, 28, 22);
    const wchar_t label[] = L"Custom Build ID:";
    Add(L"Static", label, kShown | SS_LEFT | SS_NOPREFIX, 0, form, 195, y + 30, TextWidth(label), 13);
    HWND status = Add(STATUSCLASSNAMEW, L"", kShown | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, form, 2, y + 147,
                      350, 19);
    int rights[] = {120, -1};
    SendMessageW(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
    SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Korvane Protection"));
    SendMessageW(status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"https://korvane.example.com"));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    gInstance = instance;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    gFont = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"PlainWindow";
    RegisterClassExW(&wc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT outer{0, 0, 354, 345};
    AdjustWindowRectEx(&outer, style, FALSE, WS_EX_APPWINDOW | WS_EX_CONTROLPARENT);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND window = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, wc.lpszClassName, L"Plain window", style,
                                  ((work.right - work.left) - width) / 2, ((work.bottom - work.top) - height) / 2,
                                  width, height, nullptr, nullptr, instance, nullptr);
    AddControls(window);
    ShowWindow(window, SW_SHOWNORMAL);
    SetFocus(GetNextDlgTabItem(window, nullptr, FALSE));
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
