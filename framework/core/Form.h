#pragma once
// The form base: a top-level window of its own class, built from a
// TFormDescription, that owns its controls and binds their events to its
// published methods by name.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/FormDescription.h"
#include "framework/core/Handles.h"
#include "framework/core/WinControl.h"

class TForm : public TWinControl {
public:
    using TPublishedMethod = void (TForm::*)(TComponent* sender);

    explicit TForm(std::wstring name);
    ~TForm() override;

    // Creates the window and its controls, then runs the creation handler
    // inside its catch point.
    void Build();
    // Shows the form for the first time, centred on the work area.
    void ShowFirstTime(int showCommand);
    // A close request: for the main form this ends the application.
    void Close();

    TWinControl* FindControl(const std::wstring& name) const;
    HFONT Font() const { return font_.get(); }

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
    void BindEvents(const TFormDescription& description);
    void ApplyTabOrder(const TFormDescription& description);
    void RunCreateHandler(const TFormDescription& description);
    HWND ParentWindowFor(const TControlDesc& desc) const;
    static LRESULT CALLBACK FormWindowProc(HWND, UINT, WPARAM, LPARAM);

    UniqueFont font_;
    UniqueIcon icon_;
    std::vector<std::unique_ptr<TWinControl>> controls_;
    std::map<std::wstring, TWinControl*> byName_;
    HWND lastFocus_ = nullptr;
    bool shown_ = false;
};
