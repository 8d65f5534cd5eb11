#pragma once
#include "framework/core/Control.h"

// A static text ("Static") sized to its text when AutoSize is recorded.
class TLabel : public TControl {
public:
    using TControl::TControl;
    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;

protected:
    std::optional<LRESULT> OnReflectedCtlColor(HDC dc) override;

public:
    // Width and height of a text in a font, as a label sizes itself.
    static SIZE TextSize(const std::wstring& text, HFONT font);
};
