#include "framework/core/WinControl.h"

#include <commctrl.h>

#include <exception>

namespace {
constexpr wchar_t kControlProperty[] = L"Kv.Control";
constexpr UINT_PTR kSubclassId = 0x4B56;  // "KV"
TErrorHandler gErrorHandler = nullptr;
}  // namespace

void SetErrorHandler(TErrorHandler handler) { gErrorHandler = handler; }

void HandleCaughtException(TComponent* sender, const void* where) noexcept {
    if (!gErrorHandler) std::terminate();
    UseCurrentError(where, [sender](const Exception& error) { gErrorHandler(sender, error); });
}

TWinControl::~TWinControl() {
    if (!handle_) return;
    HWND window = handle_;
    Detach();
    DestroyWindow(window);
}

TWinControl* TWinControl::FromHandle(HWND window) {
    return window ? static_cast<TWinControl*>(GetPropW(window, kControlProperty)) : nullptr;
}

std::wstring TWinControl::WindowText() const {
    std::wstring text(GetWindowTextLengthW(handle_) + 1, L'\0');
    text.resize(GetWindowTextW(handle_, text.data(), static_cast<int>(text.size())));
    return text;
}

void TWinControl::CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent,
                              const RECT& bounds, int id, const std::wstring& text) {
    HWND window = CreateWindowExW(exStyle, className, text.c_str(), style | WS_CHILD, bounds.left, bounds.top,
                                  bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                  nullptr);
    if (!window) {
        Raise(Exception(L"Error creating window of class " + std::wstring(className) + L": " +
                        SystemErrorText(GetLastError())));
    }
    handle_ = window;
    SetPropW(window, kControlProperty, this);
    SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void TWinControl::AttachOwnWindow(HWND window) {
    handle_ = window;
    ownClass_ = true;
    SetPropW(window, kControlProperty, this);
}

void TWinControl::Detach() {
    if (!handle_) return;
    RemovePropW(handle_, kControlProperty);
    if (!ownClass_) RemoveWindowSubclass(handle_, SubclassProc, kSubclassId);
    handle_ = nullptr;
}

LRESULT TWinControl::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return ownClass_ ? DefWindowProcW(handle_, message, wParam, lParam)
                     : DefSubclassProc(handle_, message, wParam, lParam);
}

std::optional<LRESULT> TWinControl::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND from = nullptr;
    switch (message) {
        case WM_COMMAND: from = reinterpret_cast<HWND>(lParam); break;
        case WM_NOTIFY: from = reinterpret_cast<NMHDR*>(lParam)->hwndFrom; break;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX: from = reinterpret_cast<HWND>(lParam); break;
        default: return std::nullopt;
    }
    TWinControl* child = FromHandle(from);
    if (!child || child == this) return std::nullopt;
    if (message == WM_COMMAND) return child->OnReflectedCommand(HIWORD(wParam));
    if (message == WM_NOTIFY) return child->OnReflectedNotify(reinterpret_cast<NMHDR*>(lParam));
    return child->OnReflectedCtlColor(reinterpret_cast<HDC>(wParam));
}

LRESULT TWinControl::GuardedDispatch(TWinControl* self, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    try {
        const auto reflected = self->ReflectToChild(message, wParam, lParam);
        result = reflected ? *reflected : self->WndProc(message, wParam, lParam);
    } catch (...) {
        // No C++ error may cross into Windows: report it, count the message as handled.
        HandleCaughtException(self, reinterpret_cast<const void*>(&GuardedDispatch));
    }
    if (message == WM_NCDESTROY) self->Detach();
    return result;
}

LRESULT CALLBACK TWinControl::SubclassProc(HWND, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR refData) {
    return GuardedDispatch(reinterpret_cast<TWinControl*>(refData), message, wParam, lParam);
}
