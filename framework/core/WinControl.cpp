#include "framework/core/WinControl.h"

#include <commctrl.h>

#include <vector>

#include "framework/core/Application.h"

namespace {
constexpr wchar_t kControlProperty[] = L"Kv.Control";
constexpr UINT_PTR kSubclassId = 0x4B56;  // "KV"
}  // namespace

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
    const int length = GetWindowTextLengthW(handle_);
    std::vector<wchar_t> buffer(length + 1);
    const int copied = GetWindowTextW(handle_, buffer.data(), length + 1);
    return std::wstring(buffer.data(), copied);
}

void TWinControl::SetEnabled(bool enabled) { EnableWindow(handle_, enabled); }

void TWinControl::SetFont(HFONT font) {
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

RECT TWinControl::BoundsRect() const {
    RECT r{};
    GetWindowRect(handle_, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void TWinControl::CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent,
                              const RECT& bounds, int id, const std::wstring& text) {
    HWND window = CreateWindowExW(exStyle, className, text.c_str(), style | WS_CHILD, bounds.left,
                                  bounds.top, bounds.right - bounds.left,
                                  bounds.bottom - bounds.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
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

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

std::optional<LRESULT> TWinControl::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (auto* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child != this)
                return child->OnReflectedCommand(HIWORD(wParam));
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (auto* child = FromHandle(header->hwndFrom); child && child != this)
                return child->OnReflectedNotify(header);
            break;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            if (auto* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child != this)
                return child->OnReflectedCtlColor(reinterpret_cast<HDC>(wParam));
            break;
        default:
            break;
    }
    return std::nullopt;
}

LRESULT TWinControl::GuardedDispatch(TWinControl* self, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
    try {
        if (auto reflected = self->ReflectToChild(message, wParam, lParam)) return *reflected;
        const LRESULT result = self->WndProc(message, wParam, lParam);
        if (message == WM_NCDESTROY) self->Detach();
        return result;
    } catch (...) {
        // No C++ error may cross into Windows: report it, count the message as handled.
        HandleCaughtException(self, reinterpret_cast<const void*>(&GuardedDispatch));
        if (message == WM_NCDESTROY) self->Detach();
        return 0;
    }
}

LRESULT CALLBACK TWinControl::SubclassProc(HWND, UINT message, WPARAM wParam,
                                           LPARAM lParam, UINT_PTR, DWORD_PTR refData) {
    return GuardedDispatch(reinterpret_cast<TWinControl*>(refData), message, wParam, lParam);
}
