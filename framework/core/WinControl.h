#pragma once
// Base of every window of the layer: owns one HWND of a standard Windows class
// (subclassed) or of the form's own class, routes its messages to virtual
// handlers inside an exception guard, and reflects the notifications that
// Win32 sends to a parent (WM_COMMAND, WM_CTLCOLOR*) back to the
// child control they came from.
//
// Which object a window belongs to is kept in a table of the process, not in
// the window (a property, or comctl32's subclass record, which is one): under
// Wine every property access is a call to the server, and a subclassed
// control would pay one for each of its messages.
#include <windows.h>

#include <optional>
#include <string>

#include "framework/core/Component.h"
#include "framework/core/FormDescription.h"
#include "framework/errors/Exceptions.h"

// Where the layer hands an error it caught at one of its catch points (a
// window procedure, a form's creation handler). The application installs it.
using TErrorHandler = void (*)(TComponent* sender, const Exception& error);
void SetErrorHandler(TErrorHandler handler);
// Reports the error being handled (call inside a catch block) through the
// installed handler. Without one, or when reporting fails, the process ends
// through std::terminate, which shows the fatal error box.
void HandleCaughtException(TComponent* sender) noexcept;

// Registers a window class of the layer's own windows, once: the system's
// arrow cursor, the button-face background, the icon resource in both sizes.
void RegisterWindowClass(const wchar_t* name, WNDPROC windowProc, const wchar_t* icon);

std::wstring WindowTextOf(HWND window);
inline RECT ClientRectOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

class TWinControl : public TComponent {
public:
    using TComponent::TComponent;
    ~TWinControl() override;

    HWND Handle() const { return handle_; }
    static TWinControl* FromHandle(HWND window);

    std::wstring WindowText() const { return WindowTextOf(handle_); }
    // The system's own handling of a message (the class's or DefWindowProc).
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Creates a child window of a standard class, subclasses it and gives it
    // `font` (none: the class's own).
    void CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, const TBounds& bounds,
                     int id, const std::wstring& text, HFONT font = nullptr);
    // The procedure of the layer's own window classes: such a window is
    // created with its object as lpCreateParams.
    static LRESULT CALLBACK OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) { return Default(message, wParam, lParam); }
    // Notifications this control sent to its parent, handed back to it.
    virtual std::optional<LRESULT> OnReflectedCommand(WORD /*code*/) { return std::nullopt; }
    virtual std::optional<LRESULT> OnReflectedCtlColor(HDC /*dc*/) { return std::nullopt; }

private:
    // False when there was no memory to record the window.
    bool AttachOwnWindow(HWND window) noexcept;
    std::optional<LRESULT> ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();
    // Runs the message through the guard: an error goes to the error handler.
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    WNDPROC classProc_ = nullptr;  // the standard class's procedure; null for the form's own class
};
