#include "framework/controls/Label.h"

#include "framework/core/Handles.h"
#include "framework/theme/ControlPainter.h"

void TLabel::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    TBounds bounds = desc.bounds;
    if (desc.autoSize) {  // the size of its text in its font
        ScopedWindowDC dc(nullptr);
        ScopedSelect select(dc.get(), font);
        RECT r{0, 0, 0, 0};
        DrawTextW(dc.get(), desc.text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        bounds.width = r.right - r.left;
        bounds.height = r.bottom - r.top;
    }
    CreateChild(L"Static", StateStyle(desc) | SS_LEFT | SS_NOPREFIX, 0, parent, bounds, desc.id, desc.text, font);
}

std::optional<LRESULT> TLabel::OnReflectedCtlColor(HDC dc) {
    if (HBRUSH brush = ControlPainter::LabelColors(dc)) return reinterpret_cast<LRESULT>(brush);
    return std::nullopt;
}
