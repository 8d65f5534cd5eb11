#pragma once
// A control of a form: created from its record in the form's description,
// with events that the form binds to its published methods by name.
#include <string>

#include "framework/core/FormDescription.h"
#include "framework/core/WinControl.h"

class TControl : public TWinControl {
public:
    using TWinControl::TWinControl;

    // Creates the window with the recorded bounds (already aligned), text and
    // state. No event handler is attached yet, so none can run.
    virtual void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) = 0;
    // Attaches a handler to the named event; false when the control has no such event.
    virtual bool BindEvent(const std::wstring& /*event*/, TNotifyEvent /*handler*/) { return false; }

protected:
    static RECT ToRect(const TBounds& b) { return RECT{b.left, b.top, b.left + b.width, b.top + b.height}; }
    static DWORD StateStyle(const TControlDesc& desc) {
        return (desc.visible ? WS_VISIBLE : 0) | (desc.enabled ? 0 : WS_DISABLED);
    }
};
