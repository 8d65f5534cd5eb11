#include "framework/controls/Graphics.h"

#include <cstring>
#include <map>

#include "framework/errors/Exceptions.h"

namespace {
struct RegisteredFormat {
    std::wstring extension;
    TGraphicFactory factory;
};
std::map<std::wstring, RegisteredFormat>& Registry() {
    static std::map<std::wstring, RegisteredFormat> registry;
    return registry;
}
}  // namespace

void TBitmapGraphic::LoadFromBytes(const void* data, size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    if (size < sizeof(file) + sizeof(info)) Raise(Exception(L"Bitmap image is not valid"));
    std::memcpy(&file, bytes, sizeof(file));
    std::memcpy(&info, bytes + sizeof(file), sizeof(info));
    const int width = info.biWidth;
    const int height = info.biHeight < 0 ? -info.biHeight : info.biHeight;
    const size_t pixelBytes = static_cast<size_t>(width) * height * 4;
    if (file.bfType != 0x4D42 || info.biBitCount != 32 || info.biCompression != BI_RGB || width <= 0 ||
        height <= 0 || file.bfOffBits + pixelBytes > size)
        Raise(Exception(L"Bitmap image is not valid"));

    BITMAPINFO header{};
    header.bmiHeader = info;
    header.bmiHeader.biHeight = -height;  // keep it top-down in memory
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_) Raise(EOutOfMemory());
    const BYTE* source = bytes + file.bfOffBits;
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        const int sourceRow = info.biHeight < 0 ? y : height - 1 - y;
        std::memcpy(static_cast<BYTE*>(bits) + y * row, source + sourceRow * row, row);
    }
    pixels_ = static_cast<const BYTE*>(bits);
    width_ = width;
    height_ = height;
}

COLORREF TBitmapGraphic::LowerLeftColor() const {
    if (!pixels_) return 0;
    const BYTE* p = pixels_ + static_cast<size_t>(height_ - 1) * width_ * 4;
    return RGB(p[2], p[1], p[0]);
}

void TBitmapGraphic::Draw(HDC dc, const RECT& target) const {
    if (!bitmap_) return;
    UniqueMemoryDC memory(CreateCompatibleDC(dc));
    ScopedSelect select(memory.get(), bitmap_.get());
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
               memory.get(), 0, 0, width_, height_, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

void TPicture::RegisterFileFormat(const std::wstring& extension, const std::wstring& className,
                                  TGraphicFactory factory) {
    Registry()[className] = RegisteredFormat{extension, std::move(factory)};
}

void TPicture::UnregisterGraphicClass(const std::wstring& className) { Registry().erase(className); }

std::unique_ptr<TGraphic> TPicture::CreateGraphic(const std::wstring& className) {
    auto it = Registry().find(className);
    return it == Registry().end() ? nullptr : it->second.factory();
}

std::unique_ptr<TGraphic> TPicture::LoadFromResource(const std::wstring& className, const wchar_t* resource) {
    auto graphic = CreateGraphic(className);
    if (!graphic) return nullptr;
    const TResourceBytes bytes = FindResourceBytes(resource);
    if (!bytes.data) return nullptr;
    graphic->LoadFromBytes(bytes.data, bytes.size);
    return graphic;
}

TResourceBytes FindResourceBytes(const wchar_t* name, const wchar_t* type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, name, type);
    if (!info) return {};
    HGLOBAL loaded = LoadResource(module, info);
    if (!loaded) return {};
    return TResourceBytes{LockResource(loaded), SizeofResource(module, info)};
}

RECT ProportionalCenterRect(int w, int h, int W, int H) {
    int dw = w, dh = h;
    if (w > W || h > H) {
        if (w > h) {
            dw = W;
            dh = static_cast<int>(static_cast<long long>(W) * h / w);
            if (dh > H) {
                dh = H;
                dw = static_cast<int>(static_cast<long long>(H) * w / h);
            }
        } else {
            dh = H;
            dw = static_cast<int>(static_cast<long long>(H) * w / h);
            if (dw > W) {
                dw = W;
                dh = static_cast<int>(static_cast<long long>(W) * h / w);
            }
        }
    }
    const int left = (W - dw) / 2, top = (H - dh) / 2;
    return RECT{left, top, left + dw, top + dh};
}
