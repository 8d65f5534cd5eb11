#include "framework/controls/GroupBox.h"

#include "framework/core/Handles.h"
#include "framework/theme/ControlPainter.h"

void TGroupBox::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    CreateChild(L"Button", StateStyle(desc) | BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent,
                desc.bounds, desc.id, desc.text, font);
}

LRESULT TGroupBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            const RECT client = ClientRectOf(Handle());
            FillRect(reinterpret_cast<HDC>(wParam), &client, ControlPainter::BackgroundBrush());
            return 1;
        }
        case WM_PAINT:
            if (!ControlPainter::Palette()) break;
            {
                ScopedPaint paint(Handle());
                ControlPainter::PaintGroupBox(Handle(), paint.dc());
            }
            return 0;
        case WM_ENABLE:
        case WM_SETTEXT: {
            const LRESULT result = Default(message, wParam, lParam);
            InvalidateRect(Handle(), nullptr, TRUE);
            return result;
        }
        default:
            break;
    }
    return Default(message, wParam, lParam);
}
