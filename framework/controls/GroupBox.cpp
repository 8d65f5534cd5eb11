#include "framework/controls/GroupBox.h"

#include "framework/core/Handles.h"
#include "framework/theme/ControlPainter.h"

void TGroupBox::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    CreateChild(L"Button", StateStyle(desc) | BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent,
                ToRect(desc.bounds), desc.id, desc.text);
    SetFont(font);
}

LRESULT TGroupBox::GroupBoxWndProc(TWinControl& groupBox, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(groupBox.Handle(), &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, ControlPainter::BackgroundBrush());
            return 1;
        }
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
