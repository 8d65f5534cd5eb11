#include "framework/controls/GroupBox.h"

#include "framework/theme/ControlPainter.h"

void TGroupBox::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    CreateChild(L"Button", StateStyle(desc) | BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, parent,
                desc.bounds, desc.id, desc.text, font);
    ControlPainter::DropVisualStyle(Handle());
}

LRESULT TGroupBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (ControlPainter::Palette()) {
        const auto paint = [this](HDC dc) { ControlPainter::PaintGroupBox(Handle(), dc); };
        return ControlPainter::SelfPaintedProc(*this, message, wParam, lParam, paint);
    }
    if (message == WM_ERASEBKGND) {
        ControlPainter::FillBackground(Handle(), reinterpret_cast<HDC>(wParam));
        return 1;
    }
    // The system's look draws its caption directly on a new text or state.
    return ControlPainter::DefaultThenRepaint(*this, message, wParam, lParam);
}
