// The floor for the start-up benchmark: a bare Win32 window of the
// configurator's size and frame (client area 354 x 345, caption with system
// menu and minimise box, centred), which paints its background and nothing
// else. No resources, no common controls, no style.
//
// Built a second time as bare_window_v6: the same window, with the
// configurator's manifest and the common controls of version 6 that it asks
// for loaded and initialised, as the configurator does before its window.
#include <windows.h>
#ifdef KV_COMMON_CONTROLS
#include <commctrl.h>
#endif

namespace {
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef KV_COMMON_CONTROLS
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
#endif
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(RGB(0x1E, 0x1F, 0x22));
    wc.lpszClassName = L"BareWindow";
    RegisterClassExW(&wc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT outer{0, 0, 354, 345};
    AdjustWindowRectEx(&outer, style, FALSE, WS_EX_APPWINDOW);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND window = CreateWindowExW(WS_EX_APPWINDOW, wc.lpszClassName, L"Bare window", style,
                                  ((work.right - work.left) - width) / 2, ((work.bottom - work.top) - height) / 2,
                                  width, height, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
