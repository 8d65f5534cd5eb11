#include "app/SkinLibrary.h"

#include <windows.h>

#include "framework/controls/Graphics.h"

namespace {
// The library's graphic class: reads a stored 32-bit bitmap and draws it
// blended by its alpha channel over what lies behind it.
class TPNGGraphic : public TBitmapGraphic {
public:
    void Draw(HDC dc, const RECT& target) const override {
        if (!bitmap_) return;
        // Whole pixels, no smoothing: scale first, then blend the result.
        const int w = target.right - target.left, h = target.bottom - target.top;
        UniqueMemoryDC source(CreateCompatibleDC(dc));
        ScopedSelect selectSource(source.get(), bitmap_.get());
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        UniqueBitmap scaled(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!scaled) return;
        UniqueMemoryDC scaledDC(CreateCompatibleDC(dc));
        ScopedSelect selectScaled(scaledDC.get(), scaled.get());
        SetStretchBltMode(scaledDC.get(), COLORONCOLOR);
        StretchBlt(scaledDC.get(), 0, 0, w, h, source.get(), 0, 0, width_, height_, SRCCOPY);
        GdiFlush();
        // AlphaBlend wants premultiplied colours.
        auto* p = static_cast<BYTE*>(bits);
        for (int i = 0; i < w * h; ++i, p += 4) {
            p[0] = static_cast<BYTE>(p[0] * p[3] / 255);
            p[1] = static_cast<BYTE>(p[1] * p[3] / 255);
            p[2] = static_cast<BYTE>(p[2] * p[3] / 255);
        }
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc, target.left, target.top, w, h, scaledDC.get(), 0, 0, w, h, blend);
    }
};

std::wstring AsciiLower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}
}  // namespace

namespace SkinLibrary {

bool WantsVersionBox(const std::vector<std::wstring>& arguments) {
    for (const std::wstring& argument : arguments)
        if (AsciiLower(argument) == L"/acver") return true;
    return false;
}

void Initialize(const std::vector<std::wstring>& arguments, const std::wstring& defaultTitle) {
    // Shown at most once, before anything else, in the system's own look.
    if (WantsVersionBox(arguments)) MessageBoxW(nullptr, kVersionText, defaultTitle.c_str(), MB_OK);
    TPicture::RegisterFileFormat(L"png", L"TPNGGraphic", [] { return std::make_unique<TPNGGraphic>(); });
}

void Finalize() { TPicture::UnregisterGraphicClass(L"TPNGGraphic"); }

}  // namespace SkinLibrary
