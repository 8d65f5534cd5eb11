#pragma once
// A picture control ("Static") that draws its graphic centred and scaled
// proportionally. Without a graphic it shows the background only.
#include <memory>

#include "framework/core/Control.h"
#include "framework/controls/Graphics.h"

class TImage : public TControl {
public:
    using TControl::TControl;
    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;

    const TGraphic* Graphic() const { return graphic_.get(); }
    // Where the graphic is drawn in the control's client area.
    RECT PictureRect() const;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    std::unique_ptr<TGraphic> graphic_;
};
