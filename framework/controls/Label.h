#pragma once
// A static text ("Static") sized to its text when AutoSize is recorded.
#include "framework/core/Control.h"

class TLabel : public TControl {
public:
    using TControl::TControl;
    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;

protected:
    std::optional<LRESULT> OnReflectedCtlColor(HDC dc) override;
};
