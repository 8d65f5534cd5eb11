#pragma once
// A picture control ("Static") that draws its graphic centred and scaled
// proportionally. Without a graphic it shows the background only.
#include <memory>

#include "framework/controls/Graphics.h"
#include "framework/core/Control.h"

class TImage : public TControl {
    std::unique_ptr<TGraphic> graphic_;  // none when its class is not registered

public:
    using TControl::TControl;
    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
