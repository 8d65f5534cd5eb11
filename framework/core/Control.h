#pragma once
// A control of a form: created from its record in the form's description,
// with events that the form binds to its published methods by name.
#include <memory>
#include <string>

#include "framework/core/FormDescription.h"
#include "framework/core/WinControl.h"

class TControl : public TWinControl {
public:
    // `eventName`: the one event the control has ("OnClick", "OnChange"), if any.
    explicit TControl(std::wstring name, const wchar_t* eventName = nullptr)
        : TWinControl(std::move(name)), eventName_(eventName) {}

    // Creates the window with the recorded bounds (already aligned), text and
    // state. No event handler is attached yet, so none can run.
    virtual void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) = 0;
    // Attaches a handler to the named event; false when the control has no such event.
    bool BindEvent(const std::wstring& event, TNotifyEvent handler) {
        if (!eventName_ || event != eventName_) return false;
        handler_ = std::move(handler);
        return true;
    }

protected:
    // Runs the event's handler, once one is attached.
    void RaiseEvent() {
        if (handler_) handler_(this);
    }

    static DWORD StateStyle(const TControlDesc& desc) {
        return (desc.visible ? WS_VISIBLE : 0) | (desc.enabled ? 0 : WS_DISABLED);
    }

private:
    const wchar_t* eventName_;
    TNotifyEvent handler_;
};

// The class of a control record: ControlClass<TEdit> makes TEdit objects.
template <class C>
std::unique_ptr<TControl> ControlClass(std::wstring name) {
    return std::make_unique<C>(std::move(name));
}
