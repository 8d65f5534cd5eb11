#include "framework/controls/Label.h"

#include "framework/core/Handles.h"
#include "framework/theme/ControlPainter.h"

namespace {
// Width and height of a text in a font, as a label sizes itself.
SIZE TextSize(const wchar_t* text, HFONT font) {
    ScopedWindowDC dc(nullptr);
    ScopedSelect select(dc.get(), font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc.get(), text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return SIZE{r.right - r.left, r.bottom - r.top};
}
}  // namespace

void TLabel::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    TBounds bounds = desc.bounds;
    if (desc.autoSize) {
        const SIZE size = TextSize(desc.text, font);
        bounds.width = size.cx;
        bounds.height = size.cy;
    }
    CreateChild(L"Static", StateStyle(desc) | SS_LEFT | SS_NOPREFIX, 0, parent, ToRect(bounds), desc.id, desc.text);
    SetFont(font);
}

std::optional<LRESULT> TLabel::OnReflectedCtlColor(HDC dc) {
    if (HBRUSH brush = ControlPainter::LabelColors(dc)) return reinterpret_cast<LRESULT>(brush);
    return std::nullopt;
}
