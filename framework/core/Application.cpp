#include "framework/core/Application.h"

#include <commctrl.h>

#include <exception>

#include "framework/core/Paths.h"

TApplication* Application = nullptr;

namespace {
constexpr wchar_t kApplicationClass[] = L"TApplication";

void ChangeExStyle(HWND window, LONG_PTR add, LONG_PTR remove) {
    SetWindowLongPtrW(window, GWL_EXSTYLE, (GetWindowLongPtrW(window, GWL_EXSTYLE) | add) & ~remove);
}

// The windows a modal box disables besides its owner, and an error met while
// collecting them: it may not pass through Windows' frames (a 32-bit build
// would end the process), so it is raised once the enumeration is over.
struct TDisabledWindows {
    HWND owner;
    std::vector<HWND> windows;
    std::exception_ptr error;
};

BOOL CALLBACK DisableOthers(HWND window, LPARAM param) noexcept {
    auto* state = reinterpret_cast<TDisabledWindows*>(param);
    if (window == state->owner || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    try {
        state->windows.push_back(window);  // recorded first: never left disabled
    } catch (...) {
        state->error = std::current_exception();
        return FALSE;
    }
    EnableWindow(window, FALSE);
    return TRUE;
}
}  // namespace

std::wstring TApplication::DefaultTitle(const std::wstring& exePath) {
    std::wstring name = exePath.substr(FolderOf(exePath).size());
    name.resize(std::min(name.size(), name.find(L'.')));
    if (name.size() > 1) CharLowerBuffW(name.data() + 1, static_cast<DWORD>(name.size() - 1));
    return name;
}

TApplication::TApplication() : TComponent(L"Application"), title_(DefaultTitle(ModuleFileName())) {
    RegisterWindowClass(kApplicationClass, WindowProc, L"MAINICON");
    window_.reset(CreateWindowExW(0, kApplicationClass, title_.c_str(),
                                  WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0,
                                  0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!window_) Raise(Exception(L"Cannot create the application window: " + SystemErrorText(GetLastError())));
    Application = this;
    SetErrorHandler([](TComponent* sender, const Exception& error) { Application->HandleException(sender, error); });
}

TApplication::~TApplication() {
    DestroyForms();
    if (Application != this) return;
    Application = nullptr;
    SetErrorHandler(nullptr);  // errors caught from now on are fatal
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

void TApplication::SetMainFormOnTaskBar(bool value) {
    mainFormOnTaskBar_ = value;
    if (!value) return;
    // The main form owns the taskbar button; the hidden window never gets one.
    SetWindowTextW(Handle(), L"");
    ChangeExStyle(Handle(), WS_EX_TOOLWINDOW, 0);
}

void TApplication::SetTitle(const std::wstring& title) {
    title_ = title;
    if (!mainFormOnTaskBar_) SetWindowTextW(Handle(), title.c_str());
}

void TApplication::AdoptForm(std::unique_ptr<TForm> form) {
    if (!mainForm_) {
        mainForm_ = form.get();
        mainForm_->SetCloseAction([this] { Terminate(); });
        ChangeExStyle(Handle(), WS_EX_NOACTIVATE, WS_EX_APPWINDOW);
    }
    forms_.push_back(std::move(form));
}

void TApplication::DestroyForms() {
    mainForm_ = nullptr;
    while (!forms_.empty()) forms_.pop_back();
}

void TApplication::Run() {
    if (mainForm_) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        GetStartupInfoW(&startup);
        const int requested = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
        mainForm_->ShowFirstTime(requested == SW_SHOWMAXIMIZED || requested == SW_SHOWMINNOACTIVE ? requested
                                                                                                   : SW_SHOWNORMAL);
    }
    for (;;) {
        try {
            MSG msg;
            if (const BOOL result = GetMessageW(&msg, nullptr, 0, 0); result == 0 || result == -1) return;
            // The dialog manager gives the main form Tab, Shift+Tab and arrow keys.
            HWND main = mainForm_ ? mainForm_->Handle() : nullptr;
            if (main && (msg.hwnd == main || IsChild(main, msg.hwnd)) && IsDialogMessageW(main, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } catch (...) {
            HandleCaughtException(this);
        }
    }
}

void TApplication::HandleException(TComponent* /*sender*/, const Exception& error) {
    // An error while the mouse is captured (a pressed button) would leave the
    // capture dangling under the box.
    if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
    ShowException(error);
}

void TApplication::ShowException(const Exception& error) {
    MessageBox(ErrorBoxText(error), title_, MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
    TDisabledWindows disabled{active ? active : GetLastActivePopup(Handle()), {}, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOthers, reinterpret_cast<LPARAM>(&disabled));
    const int result = disabled.error ? 0 : ::MessageBoxW(disabled.owner, text.c_str(), caption.c_str(), flags);
    for (HWND window : disabled.windows) EnableWindow(window, TRUE);
    if (disabled.error) std::rethrow_exception(disabled.error);
    if (active && IsWindow(active)) SetActiveWindow(active);
    if (focus && IsWindow(focus)) SetFocus(focus);
    return result;
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing here can raise: no guard is needed.
    switch (message) {
        case WM_CLOSE:
            if (Application && Application->mainForm_) Application->mainForm_->Close();
            return 0;
        case WM_ENDSESSION:
            // Windows is ending: shut down at once; nothing is saved.
            if (wParam && Application) {
                Application->Terminate();
                Application->DestroyForms();
                ExitProcess(0);
            }
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::wstring ErrorBoxText(const Exception& error) {
    std::wstring text = error.Message();
    if (!text.empty() && text.back() > L'.') text += L'.';
    return text;
}
