#include "framework/core/WinControl.h"

#include <exception>
#include <unordered_map>

namespace {
TErrorHandler gErrorHandler = nullptr;

// The objects of the layer's windows, by handle (one thread uses them all).
std::unordered_map<HWND, TWinControl*> gObjects;
}  // namespace

void SetErrorHandler(TErrorHandler handler) { gErrorHandler = handler; }

void RegisterWindowClass(const wchar_t* name, WNDPROC windowProc, const wchar_t* icon) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, name, &wc)) return;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconW(instance, icon);
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, icon, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (!RegisterClassExW(&wc)) Raise(Exception(L"Cannot register window class " + std::wstring(name)));
}

void HandleCaughtException(TComponent* sender) noexcept {
    if (!gErrorHandler) std::terminate();
    const auto where = reinterpret_cast<const void*>(&HandleCaughtException);
    UseCurrentError(where, [sender](const Exception& error) { gErrorHandler(sender, error); });
}

TWinControl::~TWinControl() {
    HWND window = handle_;
    Detach();
    if (window) DestroyWindow(window);
}

TWinControl* TWinControl::FromHandle(HWND window) {
    const auto found = gObjects.find(window);
    return found == gObjects.end() ? nullptr : found->second;
}

std::wstring WindowTextOf(HWND window) {
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
    return text;
}

void TWinControl::CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent,
                              const TBounds& bounds, int id, const std::wstring& text, HFONT font) {
    HWND window = CreateWindowExW(exStyle, className, text.c_str(), style | WS_CHILD, bounds.left, bounds.top,
                                  bounds.width, bounds.height, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                  nullptr);
    if (!window)
        Raise(Exception(L"Error creating window of class " + std::wstring(className) + L": " +
                        SystemErrorText(GetLastError())));
    if (!AttachOwnWindow(window)) Raise(EOutOfMemory());
    classProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    if (font) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

bool TWinControl::AttachOwnWindow(HWND window) noexcept {
    handle_ = window;  // from now on the destructor destroys the window
    try {
        gObjects[window] = this;
        return true;
    } catch (...) {
        return false;  // out of memory
    }
}

void TWinControl::Detach() {
    if (!handle_) return;
    gObjects.erase(handle_);
    if (classProc_) SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc_));
    handle_ = nullptr;
}

LRESULT TWinControl::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return classProc_ ? CallWindowProcW(classProc_, handle_, message, wParam, lParam)
                      : DefWindowProcW(handle_, message, wParam, lParam);
}

std::optional<LRESULT> TWinControl::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam) {
    // Each of these names the child it comes from in lParam.
    if (message != WM_COMMAND && message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC &&
        message != WM_CTLCOLORBTN && message != WM_CTLCOLORLISTBOX)
        return std::nullopt;
    TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
    if (!child || child == this) return std::nullopt;
    if (message == WM_COMMAND) return child->OnReflectedCommand(HIWORD(wParam));
    return child->OnReflectedCtlColor(reinterpret_cast<HDC>(wParam));
}

LRESULT CALLBACK TWinControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWinControl* self = FromHandle(window);
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    try {
        const auto reflected = self->ReflectToChild(message, wParam, lParam);
        result = reflected ? *reflected : self->WndProc(message, wParam, lParam);
    } catch (...) {
        // No C++ error may cross into Windows: report it, count the message as handled.
        HandleCaughtException(self);
    }
    if (message == WM_NCDESTROY) self->Detach();
    return result;
}

LRESULT CALLBACK TWinControl::OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Notifications can come before CreateWindowExW returns: the object is
    // attached at the first message. Without it, the window is not created.
    if (message == WM_NCCREATE &&
        !static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams)->AttachOwnWindow(window))
        return FALSE;
    return SubclassProc(window, message, wParam, lParam);
}
