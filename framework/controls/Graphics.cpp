#include "framework/controls/Graphics.h"

#include <cstring>
#include <map>

#include "framework/core/Paths.h"
#include "framework/errors/Exceptions.h"

namespace {
// The graphic classes by name.
std::map<std::wstring, TGraphicFactory> gRegistry;
}  // namespace

void TBitmapGraphic::LoadFromBytes(const void* data, size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER& info = info_.bmiHeader;
    if (size < sizeof(file) + sizeof(info)) Raise(Exception(L"Bitmap image is not valid"));
    std::memcpy(&file, bytes, sizeof(file));
    std::memcpy(&info, bytes + sizeof(file), sizeof(info));
    const size_t pixelBytes = static_cast<size_t>(info.biWidth) * std::abs(info.biHeight) * 4;
    if (file.bfType != 0x4D42 || info.biBitCount != 32 || info.biCompression != BI_RGB || info.biWidth <= 0 ||
        info.biHeight == 0 || file.bfOffBits > size || pixelBytes > size - file.bfOffBits)
        Raise(Exception(L"Bitmap image is not valid"));
    info.biSize = sizeof(info);
    pixels_ = bytes + file.bfOffBits;
}

COLORREF TBitmapGraphic::LowerLeftColor() const {
    if (!pixels_) return 0;
    // Bottom-up rows (a positive height) start with the lowest one.
    const BYTE* p = pixels_ + (info_.bmiHeader.biHeight > 0 ? 0 : static_cast<size_t>(Height() - 1) * Width() * 4);
    return RGB(p[2], p[1], p[0]);
}

void TBitmapGraphic::Draw(HDC dc, const RECT& target) {
    if (!pixels_) return;
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, 0, 0,
                  Width(), Height(), pixels_, &info_, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

void TPicture::RegisterFileFormat(const std::wstring& className, TGraphicFactory factory) {
    gRegistry[className] = factory;
}

void TPicture::UnregisterGraphicClass(const std::wstring& className) { gRegistry.erase(className); }

std::unique_ptr<TGraphic> TPicture::LoadFromResource(const std::wstring& className, const wchar_t* resource) {
    const auto format = gRegistry.find(className);
    if (format == gRegistry.end()) return nullptr;  // the picture stays empty, unread
    const TResourceBytes bytes = FindResourceBytes(resource);
    if (!bytes.data) return nullptr;
    auto graphic = format->second();
    graphic->LoadFromBytes(bytes.data, bytes.size);
    return graphic;
}

RECT ProportionalCenterRect(int w, int h, int W, int H) {
    int dw = w, dh = h;
    if (w > W || h > H) {
        // The longer side governs; if the other then overflows, it governs instead.
        const auto scale = [](int a, int b, int c) { return static_cast<int>(static_cast<long long>(a) * b / c); };
        if (w > h) {
            dw = W, dh = scale(W, h, w);
            if (dh > H) dh = H, dw = scale(H, w, h);
        } else {
            dh = H, dw = scale(H, w, h);
            if (dw > W) dw = W, dh = scale(W, h, w);
        }
    }
    const int left = (W - dw) / 2, top = (H - dh) / 2;
    return RECT{left, top, left + dw, top + dh};
}
