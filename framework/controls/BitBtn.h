#pragma once
// A push button ("Button", BS_PUSHBUTTON) that shows a glyph left of its
// caption, both centred together with 4 pixels between them. The glyph's
// lower-left pixel gives its transparent colour.
#include "framework/core/Control.h"
#include "framework/core/Handles.h"

class TBitBtn : public TControl {
public:
    explicit TBitBtn(std::wstring name) : TControl(std::move(name), L"OnClick") {}
    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::optional<LRESULT> OnReflectedCommand(WORD code) override;

private:
    void LoadGlyph(const wchar_t* resource);

    UniqueImageList glyph_;
    SIZE glyphSize_{0, 0};
    bool hot_ = false;  // the mouse is over the button
};
