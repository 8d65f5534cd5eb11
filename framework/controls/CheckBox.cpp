#include "framework/controls/CheckBox.h"

#include "framework/theme/ControlPainter.h"
#include "framework/core/Handles.h"

void TCheckBox::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    DWORD style = VisibleStyle(desc) | BS_AUTOCHECKBOX | WS_TABSTOP;
    if (!desc.enabled) style |= WS_DISABLED;
    CreateChild(L"Button", style, 0, parent, ToRect(desc.bounds), desc.id, desc.text);
    SetFont(font);
    SetChecked(desc.checked);
}

bool TCheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
    SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

LRESULT CheckLikeWndProc(TWinControl& control, bool radio, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT (*defaultProc)(TWinControl&, UINT, WPARAM, LPARAM)) {
    if (!ControlPainter::Palette()) return defaultProc(control, message, wParam, lParam);
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
            const LRESULT result = defaultProc(control, message, wParam, lParam);
            if (ControlPainter::ChangesButtonLook(message)) {
                RedrawWindow(control.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            }
            return result;
        }
    }
}

LRESULT TCheckBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CheckLikeWndProc(*this, false, message, wParam, lParam,
                            [](TWinControl& c, UINT m, WPARAM w, LPARAM l) { return c.Default(m, w, l); });
}
