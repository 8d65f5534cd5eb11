#include "app/SkinLibrary.h"

#include <windows.h>

#include <algorithm>

#include "framework/controls/Graphics.h"
#include "framework/core/Handles.h"

namespace {
// The library's graphic class: reads a stored 32-bit bitmap and draws it
// blended by its alpha channel over what lies behind it. It is scaled once
// for the size it is drawn at, keeping whole pixels (no smoothing), with its
// colours premultiplied by their alpha as blending wants them.
class TPNGGraphic : public TBitmapGraphic {
public:
    void Draw(HDC dc, const RECT& target) override {
        const SIZE size{target.right - target.left, target.bottom - target.top};
        if (!pixels_ || size.cx <= 0 || size.cy <= 0) return;
        if (!scaled_ || size.cx != scaledSize_.cx || size.cy != scaledSize_.cy) Scale(dc, size);
        if (!scaled_) return;
        UniqueMemoryDC source(CreateCompatibleDC(dc));
        ScopedSelect select(source.get(), scaled_.get());
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, target.left, target.top, size.cx, size.cy, source.get(), 0, 0, size.cx, size.cy, blend);
    }

private:
    void Scale(HDC dc, SIZE size) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        scaled_.reset(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!scaled_) return;
        scaledSize_ = size;
        UniqueMemoryDC target(CreateCompatibleDC(dc));
        {
            ScopedSelect select(target.get(), scaled_.get());
            TBitmapGraphic::Draw(target.get(), RECT{0, 0, size.cx, size.cy});
        }
        GdiFlush();
        auto* p = static_cast<BYTE*>(bits);
        for (LONG i = 0; i < size.cx * size.cy; ++i, p += 4)
            for (int colour = 0; colour < 3; ++colour) p[colour] = static_cast<BYTE>(p[colour] * p[3] / 255);
    }

    UniqueBitmap scaled_;
    SIZE scaledSize_{0, 0};
};

bool IsVersionSwitch(const std::wstring& argument) {
    return CompareStringOrdinal(argument.c_str(), static_cast<int>(argument.size()), L"/acver", -1, TRUE) == CSTR_EQUAL;
}
}  // namespace

namespace SkinLibrary {

void Initialize(const std::vector<std::wstring>& arguments, const std::wstring& defaultTitle) {
    // Shown at most once, before anything else, in the system's own look.
    if (std::ranges::any_of(arguments, IsVersionSwitch))
        MessageBoxW(nullptr, L"Skin Components v11.14", defaultTitle.c_str(), MB_OK);
    TPicture::RegisterFileFormat(L"TPNGGraphic", [] { return std::unique_ptr<TGraphic>(new TPNGGraphic); });
}

void Finalize() { TPicture::UnregisterGraphicClass(L"TPNGGraphic"); }

}  // namespace SkinLibrary
