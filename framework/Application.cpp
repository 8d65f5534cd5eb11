#include "framework/Application.h"

#include <objbase.h>

#include <cstdio>
#include <exception>

#include "framework/Form.h"
#include "framework/ModulePath.h"

TApplication* Application = nullptr;

namespace {
constexpr wchar_t kApplicationClass[] = L"TApplication";

void RegisterApplicationClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kApplicationClass, &wc)) return;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;  // replaced per window once created
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kApplicationClass;
    wc.hIcon = LoadIconW(wc.hInstance, L"MAINICON");
    RegisterClassExW(&wc);
}

LONG_PTR ExStyle(HWND window) { return GetWindowLongPtrW(window, GWL_EXSTYLE); }
void SetExStyle(HWND window, LONG_PTR style) { SetWindowLongPtrW(window, GWL_EXSTYLE, style); }
}  // namespace

std::wstring TApplication::DefaultTitle(const std::wstring& exePath) {
    std::wstring name = exePath.substr(FolderOf(exePath).size());
    name = name.substr(0, name.find(L'.'));
    if (name.size() > 1) {
        std::wstring rest = name.substr(1);
        CharLowerBuffW(rest.data(), static_cast<DWORD>(rest.size()));
        name = name.substr(0, 1) + rest;
    }
    return name;
}

TApplication::TApplication() : TComponent(L"Application") {
    Application = this;
    title_ = DefaultTitle(ModuleFileName());
    RegisterApplicationClass();
    HWND window = CreateWindowExW(0, kApplicationClass, title_.c_str(),
                                  WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU |
                                      WS_MINIMIZEBOX,
                                  0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) Raise(Exception(L"Cannot create the application window: " + SystemErrorText(GetLastError())));
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    window_.reset(window);
}

TApplication::~TApplication() {
    DestroyForms();
    window_.reset();
    if (comInitialized_) CoUninitialize();
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
    comInitialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void TApplication::SetMainFormOnTaskBar(bool value) {
    mainFormOnTaskBar_ = value;
    if (!value) return;
    // The main form owns the taskbar button; the hidden window never gets one.
    SetWindowTextW(Handle(), L"");
    SetExStyle(Handle(), ExStyle(Handle()) | WS_EX_TOOLWINDOW);
}

void TApplication::SetTitle(const std::wstring& title) {
    title_ = title;
    if (!mainFormOnTaskBar_) SetWindowTextW(Handle(), title.c_str());
}

void TApplication::AdoptForm(std::unique_ptr<TForm> form, bool isMain) {
    if (isMain) {
        mainForm_ = form.get();
        SetExStyle(Handle(), (ExStyle(Handle()) | WS_EX_NOACTIVATE) & ~WS_EX_APPWINDOW);
    }
    forms_.push_back(std::move(form));
}

void TApplication::DestroyForms() {
    while (!forms_.empty()) forms_.pop_back();
    mainForm_ = nullptr;
}

void TApplication::ShowMainForm() {
    if (!mainForm_) return;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    const int requested = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
    switch (requested) {
        case SW_SHOWMAXIMIZED: mainForm_->ShowFirstTime(SW_SHOWMAXIMIZED); break;
        case SW_SHOWMINNOACTIVE: mainForm_->ShowFirstTime(SW_SHOWMINNOACTIVE); break;
        default: mainForm_->ShowFirstTime(SW_SHOWNORMAL); break;
    }
}

void TApplication::Run() {
    ShowMainForm();
    while (!terminated_) {
        try {
            ProcessMessage();
        } catch (...) {
            HandleCaughtException(this, reinterpret_cast<const void*>(&HandleCaughtException));
        }
    }
}

void TApplication::ProcessMessage() {
    MSG msg;
    const BOOL result = GetMessageW(&msg, nullptr, 0, 0);
    if (result == 0 || result == -1) {
        terminated_ = true;
        return;
    }
    // The dialog manager gives the main form Tab, Shift+Tab and arrow keys.
    HWND main = mainForm_ ? mainForm_->Handle() : nullptr;
    if (main && (msg.hwnd == main || IsChild(main, msg.hwnd)) && IsDialogMessageW(main, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::EndSessionNow() {
    terminated_ = true;
    DestroyForms();
    ExitProcess(0);
}

void TApplication::HandleException(TComponent* /*sender*/) {
    auto error = CurrentException(__builtin_return_address(0));
    HandleException(nullptr, *error);
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

namespace {
struct DisabledWindows {
    HWND owner;
    std::vector<HWND> windows;
    std::exception_ptr error;
};

// Windows calls this: no C++ error may leave it (in 32 bits nothing unwinds
// Windows' frames, and the process would end). A window is disabled only once
// it is on the list that enables it again.
BOOL CALLBACK DisableOthers(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<DisabledWindows*>(param);
    if (window != state->owner && IsWindowVisible(window) && IsWindowEnabled(window)) {
        try {
            state->windows.push_back(window);
        } catch (...) {
            state->error = std::current_exception();
            return FALSE;
        }
        EnableWindow(window, FALSE);
    }
    return TRUE;
}
}  // namespace

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
    HWND owner = GetActiveWindow();
    if (!owner) owner = GetLastActivePopup(Handle());
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
    DisabledWindows disabled{owner, {}, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOthers, reinterpret_cast<LPARAM>(&disabled));
    if (disabled.error) {
        for (HWND window : disabled.windows) EnableWindow(window, TRUE);
        std::rethrow_exception(disabled.error);
    }
    const int result = ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
    for (HWND window : disabled.windows) EnableWindow(window, TRUE);
    if (active && IsWindow(active)) SetActiveWindow(active);
    if (focus && IsWindow(focus)) SetFocus(focus);
    return result;
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->HandleAppMessage(message, wParam, lParam);
    } catch (...) {
        HandleCaughtException(self, reinterpret_cast<const void*>(&WindowProc));
        return 0;
    }
}

LRESULT TApplication::HandleAppMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            if (mainForm_) mainForm_->Close();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) EndSessionNow();
            return 0;
        default:
            return DefWindowProcW(Handle(), message, wParam, lParam);
    }
}

// --- Error boxes -------------------------------------------------------------

std::wstring ErrorBoxText(const Exception& error) {
    std::wstring text = error.Message();
    for (const Exception* e = &error; e->InnerException() != nullptr;) {
        e = e->InnerException();
        if (!e->Message().empty()) text = e->Message();
    }
    if (!text.empty() && text.back() > L'.') text += L'.';
    return text;
}

std::wstring FatalErrorText(const Exception& error) {
    HMODULE module = nullptr;
    const void* address = error.RaiseAddress();
    if (!address ||
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(address), &module)) {
        module = GetModuleHandleW(nullptr);
    }
    const std::wstring path = ModuleFileName(module);
    const std::wstring moduleName = path.substr(FolderOf(path).size());
    const auto offset = address ? reinterpret_cast<const char*>(address) -
                                      reinterpret_cast<const char*>(module)
                                : 0;
    wchar_t hex[16];
    swprintf(hex, 16, L"%08X", static_cast<unsigned>(offset));
    const std::wstring& message = error.Message();
    const bool needsPeriod = !message.empty() && message.back() != L'.';
    return L"Exception " + std::wstring(error.ClassName()) + L" in module " + moduleName + L" at " +
           hex + L".\r\n" + message + (needsPeriod ? L"." : L"") + L"\r\n";
}

void ShowFatalErrorAndExit(const Exception& error) {
    MessageBoxW(nullptr, FatalErrorText(error).c_str(), L"Application Error",
                MB_TASKMODAL | MB_ICONERROR);
    ExitProcess(1);
}

void FatalErrorFromCurrentException(const void* where) {
    ShowFatalErrorAndExit(*CurrentException(where));
}

void HandleCaughtException(TComponent* sender, const void* where) {
    if (!Application) FatalErrorFromCurrentException(where);
    try {
        auto error = CurrentException(where);
        Application->HandleException(sender, *error);
    } catch (...) {
        // Reporting itself failed (out of memory): nothing sensible is left.
        FatalErrorFromCurrentException(where);
    }
}

namespace {
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    wchar_t text[96];
    const wchar_t* className = L"EExternalException";
    if (code == EXCEPTION_ACCESS_VIOLATION) {
        className = L"EAccessViolation";
        swprintf(text, 96, L"Access violation at address %p", info->ExceptionRecord->ExceptionAddress);
    } else if (code == EXCEPTION_STACK_OVERFLOW) {
        className = L"EStackOverflow";
        swprintf(text, 96, L"Stack overflow");
    } else {
        swprintf(text, 96, L"External exception %08lX", static_cast<unsigned long>(code));
    }
    EExternalException error(text);
    error.SetRaiseAddress(info->ExceptionRecord->ExceptionAddress);
    std::wstring box = FatalErrorText(error);
    box.replace(box.find(L"EExternalException"), 18, className);
    MessageBoxW(nullptr, box.c_str(), L"Application Error", MB_TASKMODAL | MB_ICONERROR);
    ExitProcess(1);
}

void OnTerminate() {
    if (std::current_exception()) FatalErrorFromCurrentException(nullptr);
    ShowFatalErrorAndExit(EExternalException(L"Abnormal program termination"));
}
}  // namespace

void InstallFatalErrorHandlers() {
    SetUnhandledExceptionFilter(OnUnhandledException);
    std::set_terminate(OnTerminate);
}
