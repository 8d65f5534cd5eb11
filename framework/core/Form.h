#pragma once
// The form base: a top-level window of its own class, built from a
// TFormDescription, that owns its controls and binds their events to its
// published methods by name.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Control.h"
#include "framework/core/Handles.h"

class TForm : public TWinControl {
public:
    explicit TForm(std::wstring name) : TWinControl(std::move(name)) {}
    ~TForm() override;

    // Creates the window and its controls, then runs the creation handler
    // inside its catch point.
    void Build();
    // Shows the form for the first time, centred on the work area.
    void ShowFirstTime(int showCommand);
    // A close request. Nothing asks whether the form may close; what closing
    // does is the close action: hiding the form, unless another is set (the
    // application makes closing its main form end the application).
    void Close() { closeAction_ ? closeAction_() : static_cast<void>(ShowWindow(Handle(), SW_HIDE)); }
    void SetCloseAction(std::function<void()> action) { closeAction_ = std::move(action); }

    TWinControl* FindControl(const std::wstring& name) const;

    // Where the work-area rule puts a window of the given outer size.
    static POINT CenteredPosition(const RECT& workArea, const RECT& desktop, SIZE windowSize);

protected:
    virtual const TFormDescription& Description() const = 0;
    // The published method of that name, or null.
    virtual TNotifyEvent FindMethod(const std::wstring& name) = 0;
    // Runs once every control exists, before any event is bound.
    virtual void Loaded() {}

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateFormWindow(const TFormDescription& description);
    void CreateControls(const TFormDescription& description);
    void ApplyTabOrder(const TFormDescription& description);
    void BindEvents(const TFormDescription& description);
    void RunCreateHandler(const TFormDescription& description);

    UniqueFont font_;
    std::vector<std::unique_ptr<TControl>> controls_;
    std::function<void()> closeAction_;
    HWND lastFocus_ = nullptr;
};
