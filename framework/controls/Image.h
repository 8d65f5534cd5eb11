#pragma once
// A picture control ("Static") that draws its graphic centred and scaled
// proportionally. Without a graphic it shows the background only.
#include <memory>

#include "framework/controls/Graphics.h"
#include "framework/core/Control.h"

class TImage : public TControl {
public:
    using TControl::TControl;
    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    std::unique_ptr<TGraphic> graphic_;
};
