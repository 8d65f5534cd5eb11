#include "framework/controls/Image.h"

#include "framework/core/Handles.h"
#include "framework/theme/ControlPainter.h"

void TImage::CreateFrom(const TControlDesc& desc, HWND parent, HFONT /*font*/) {
    CreateChild(L"Static", StateStyle(desc) | SS_LEFT, 0, parent, desc.bounds, desc.id, L"");
    if (desc.pictureClass && desc.pictureResource)
        graphic_ = TPicture::LoadFromResource(desc.pictureClass, desc.pictureResource);
}

LRESULT TImage::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return Default(message, wParam, lParam);
    ScopedPaint paint(Handle());
    ControlPainter::FillBackground(Handle(), paint.dc());
    const RECT client = ClientRectOf(Handle());
    if (graphic_)
        graphic_->Draw(paint.dc(),
                       ProportionalCenterRect(graphic_->Width(), graphic_->Height(), client.right, client.bottom));
    return 0;
}
