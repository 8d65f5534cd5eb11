#include "framework/controls/CheckBox.h"

#include "framework/theme/ControlPainter.h"

void TCheckBox::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    CreateChild(L"Button", StateStyle(desc) | BS_AUTOCHECKBOX | WS_TABSTOP, 0, parent, desc.bounds, desc.id,
                desc.text, font);
    ControlPainter::DropVisualStyle(Handle());
    SetChecked(desc.checked);
}

LRESULT CheckLikeWndProc(TWinControl& control, bool radio, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!ControlPainter::Palette()) return control.Default(message, wParam, lParam);
    const auto paint = [&control, radio](HDC dc) { ControlPainter::PaintCheckOrRadio(control.Handle(), dc, radio); };
    return ControlPainter::SelfPaintedProc(control, message, wParam, lParam, paint);
}

LRESULT TCheckBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CheckLikeWndProc(*this, false, message, wParam, lParam);
}
