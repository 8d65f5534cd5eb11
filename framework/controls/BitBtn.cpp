#include "framework/controls/BitBtn.h"

#include "framework/controls/Graphics.h"
#include "framework/core/Paths.h"
#include "framework/theme/ControlPainter.h"

void TBitBtn::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    CreateChild(L"Button", StateStyle(desc) | BS_PUSHBUTTON | WS_TABSTOP, 0, parent, desc.bounds, desc.id, desc.text,
                font);
    ControlPainter::DropVisualStyle(Handle());
    if (desc.pictureResource) LoadGlyph(desc.pictureResource);
}

void TBitBtn::LoadGlyph(const wchar_t* resource) {
    const TResourceBytes bytes = FindResourceBytes(resource);
    if (!bytes.data) return;
    TBitmapGraphic bitmap;
    bitmap.LoadFromBytes(bytes.data, bytes.size);
    glyphSize_ = SIZE{bitmap.Width(), bitmap.Height()};
    // The alpha bytes are not used: the mask comes from the transparent colour.
    ScopedWindowDC screen(nullptr);
    UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), glyphSize_.cx, glyphSize_.cy));
    UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
    {
        ScopedSelect select(dc.get(), copy.get());
        bitmap.Draw(dc.get(), RECT{0, 0, glyphSize_.cx, glyphSize_.cy});
    }
    glyph_.reset(ImageList_Create(glyphSize_.cx, glyphSize_.cy, ILC_COLOR24 | ILC_MASK, 1, 0));
    ImageList_AddMasked(glyph_.get(), copy.get(), bitmap.LowerLeftColor());
}

std::optional<LRESULT> TBitBtn::OnReflectedCommand(WORD code) {
    if (code == BN_CLICKED && IsWindowEnabled(Handle())) RaiseEvent();
    return 0;
}

LRESULT TBitBtn::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (!hot_) {
                hot_ = true;
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
                TrackMouseEvent(&track);
                InvalidateRect(Handle(), nullptr, FALSE);
            }
            break;
        case WM_MOUSELEAVE:
            hot_ = false;
            InvalidateRect(Handle(), nullptr, FALSE);
            break;
    }
    const auto paint = [this](HDC dc) {
        ControlPainter::PaintPushButton(Handle(), dc, glyph_.get(), glyphSize_, hot_);
    };
    return ControlPainter::SelfPaintedProc(*this, message, wParam, lParam, paint);
}
