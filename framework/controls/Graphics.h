#pragma once
// Pictures: a graphic class per picture format, found by its class name in a
// registry (the way a stored window design names the class its picture was
// saved with). A picture whose class is not registered stays empty.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/core/Handles.h"

class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual void LoadFromBytes(const void* data, size_t size) = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Draw(HDC dc, const RECT& target) const = 0;
};

// A 32-bit device-independent bitmap read from a whole .bmp file.
class TBitmapGraphic : public TGraphic {
public:
    void LoadFromBytes(const void* data, size_t size) override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Scales whole pixels (colour-on-colour), no smoothing.
    void Draw(HDC dc, const RECT& target) const override;

    HBITMAP Bitmap() const { return bitmap_.get(); }
    // Colour of the lower-left pixel: a glyph's transparent colour.
    COLORREF LowerLeftColor() const;

protected:
    UniqueBitmap bitmap_;
    const BYTE* pixels_ = nullptr;  // top-down BGRA, owned by bitmap_
    int width_ = 0;
    int height_ = 0;
};

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

class TPicture {
public:
    static void RegisterFileFormat(const std::wstring& extension, const std::wstring& className,
                                   TGraphicFactory factory);
    static void UnregisterGraphicClass(const std::wstring& className);
    // A new graphic of the registered class, or null.
    static std::unique_ptr<TGraphic> CreateGraphic(const std::wstring& className);
    // Loads an RCDATA resource of the executable with the named graphic class;
    // null when the class is not registered or the resource is missing.
    static std::unique_ptr<TGraphic> LoadFromResource(const std::wstring& className, const wchar_t* resource);
};

// Bytes of an RCDATA resource of the executable (empty span when missing).
struct TResourceBytes {
    const void* data = nullptr;
    size_t size = 0;
};
TResourceBytes FindResourceBytes(const wchar_t* name, const wchar_t* type = RT_RCDATA);

// Where a picture of w x h is drawn in a control of W x H that keeps its
// proportions and centres it (large pictures are scaled down, small ones kept).
RECT ProportionalCenterRect(int w, int h, int W, int H);
