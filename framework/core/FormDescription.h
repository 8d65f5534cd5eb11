#pragma once
// A form described as data: the window's properties and one record per
// control, in the order the controls are created. The form reads it the way a
// stored window design is read: create every control, give it its recorded
// text and state, and only then attach the named event handlers.
#include <memory>
#include <string>
#include <vector>

class TControl;
// Makes the control object of a record, as a stored design names its class.
using TControlClass = std::unique_ptr<TControl> (*)(std::wstring name);

enum class TAlign { None, Top, Bottom, Client };

struct TEventBinding {
    const wchar_t* event;    // "OnClick", "OnChange"
    const wchar_t* handler;  // name of a published method of the form
};

struct TStatusPanelDesc {
    const wchar_t* text;
    int width;
};

struct TBounds {
    int left, top, width, height;
};

struct TControlDesc {
    TControlClass kind;  // ControlClass<TEdit>, ...
    const wchar_t* name;
    const wchar_t* parent;  // nullptr: the form itself
    int id;
    TBounds bounds;
    const wchar_t* text = L"";
    int tabOrder = -1;  // -1: not in the tab order
    TAlign align = TAlign::None;
    bool visible = true;
    bool enabled = true;
    bool readOnly = false;
    bool centered = false;
    bool numbersOnly = false;
    int maxLength = 0;
    bool checked = false;
    bool autoSize = false;
    std::vector<const wchar_t*> items = {};
    int itemIndex = -1;
    const wchar_t* pictureClass = nullptr;     // graphic class the picture is stored under
    const wchar_t* pictureResource = nullptr;  // RCDATA resource holding the picture
    std::vector<TStatusPanelDesc> panels = {};
    std::vector<TEventBinding> events = {};
};

struct TFormDescription {
    const wchar_t* name;
    const wchar_t* caption;
    int clientWidth;
    int clientHeight;
    const wchar_t* fontName;
    int fontHeight;  // pixels; negative: character height
    const wchar_t* iconResource;
    const wchar_t* onCreate;  // published method run after the controls exist
    std::vector<TControlDesc> controls;
};
