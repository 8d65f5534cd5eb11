#include "framework/controls/Image.h"

#include "framework/theme/ControlPainter.h"

void TImage::CreateFrom(const TControlDesc& desc, HWND parent, HFONT /*font*/) {
    CreateChild(L"Static", VisibleStyle(desc) | SS_LEFT, 0, parent, ToRect(desc.bounds), desc.id, L"");
    if (desc.pictureClass && desc.pictureResource)
        graphic_ = TPicture::LoadFromResource(desc.pictureClass, desc.pictureResource);
}

RECT TImage::PictureRect() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    if (!graphic_) return RECT{0, 0, 0, 0};
    return ProportionalCenterRect(graphic_->Width(), graphic_->Height(), client.right, client.bottom);
}

void TImage::Paint(HDC dc) {
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, ControlPainter::BackgroundBrush());
    if (graphic_) graphic_->Draw(dc, PictureRect());
}

LRESULT TImage::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            ScopedPaint paint(Handle());
            Paint(paint.dc());
            return 0;
        }
        default:
            return Default(message, wParam, lParam);
    }
}
