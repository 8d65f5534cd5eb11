#include "framework/controls/Label.h"

#include "framework/core/Handles.h"
#include "framework/theme/ControlPainter.h"

std::optional<LRESULT> TLabel::OnReflectedCtlColor(HDC dc) {
    if (HBRUSH brush = ControlPainter::LabelColors(dc)) return reinterpret_cast<LRESULT>(brush);
    return std::nullopt;
}

SIZE TLabel::TextSize(const std::wstring& text, HFONT font) {
    ScopedWindowDC dc(nullptr);
    ScopedSelect select(dc.get(), font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void TLabel::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    TBounds bounds = desc.bounds;
    if (desc.autoSize) {
        const SIZE size = TextSize(desc.text, font);
        bounds.width = size.cx;
        bounds.height = size.cy;
    }
    CreateChild(L"Static", VisibleStyle(desc) | SS_LEFT | SS_NOPREFIX, 0, parent, ToRect(bounds), desc.id,
                desc.text);
    SetFont(font);
}
