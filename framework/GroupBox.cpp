#include "framework/GroupBox.h"

#include "framework/ControlPainter.h"
#include "framework/Handles.h"

void TGroupBox::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    DWORD style = VisibleStyle(desc) | BS_GROUPBOX | WS_CLIPCHILDREN | (desc.enabled ? 0 : WS_DISABLED);
    CreateChild(L"Button", style, WS_EX_CONTROLPARENT, parent, ToRect(desc.bounds), desc.id, desc.text);
    SetFont(font);
}

bool TGroupBox::EraseBackground(HWND groupBox, HDC dc) {
    RECT client{};
    GetClientRect(groupBox, &client);
    FillRect(dc, &client, ControlPainter::BackgroundBrush());
    return true;
}

LRESULT TGroupBox::GroupBoxWndProc(TWinControl& groupBox, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return EraseBackground(groupBox.Handle(), reinterpret_cast<HDC>(wParam));
        case WM_PAINT:
            if (!ControlPainter::Palette()) break;
            {
                ScopedPaint paint(groupBox.Handle());
                ControlPainter::PaintGroupBox(groupBox.Handle(), paint.dc());
            }
            return 0;
        case WM_ENABLE:
        case WM_SETTEXT: {
            const LRESULT result = groupBox.Default(message, wParam, lParam);
            InvalidateRect(groupBox.Handle(), nullptr, TRUE);
            return result;
        }
        default:
            break;
    }
    return groupBox.Default(message, wParam, lParam);
}

LRESULT TGroupBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return GroupBoxWndProc(*this, message, wParam, lParam);
}

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
