#include "framework/controls/CheckBox.h"

#include "framework/core/Handles.h"
#include "framework/theme/ControlPainter.h"

void TCheckBox::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    CreateChild(L"Button", StateStyle(desc) | BS_AUTOCHECKBOX | WS_TABSTOP, 0, parent, desc.bounds, desc.id,
                desc.text, font);
    SetChecked(desc.checked);
}

LRESULT CheckLikeWndProc(TWinControl& control, bool radio, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!ControlPainter::Palette()) return control.Default(message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            ScopedPaint paint(control.Handle());
            ControlPainter::PaintCheckOrRadio(control.Handle(), paint.dc(), radio);
            return 0;
        }
        case WM_PRINTCLIENT:
            ControlPainter::PaintCheckOrRadio(control.Handle(), reinterpret_cast<HDC>(wParam), radio);
            return 0;
        default: {
            const LRESULT result = control.Default(message, wParam, lParam);
            if (ControlPainter::ChangesButtonLook(message))
                RedrawWindow(control.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            return result;
        }
    }
}

LRESULT TCheckBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CheckLikeWndProc(*this, false, message, wParam, lParam);
}
