#include "framework/controls/GroupBox.h"

#include "framework/theme/ControlPainter.h"
#include "framework/core/Handles.h"

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
