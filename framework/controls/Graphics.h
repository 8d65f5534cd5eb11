#pragma once
// Pictures: a graphic class per picture format, found by its class name in a
// registry (the way a stored window design names the class its picture was
// saved with). A picture whose class is not registered stays empty.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

// A bitmap file of 32 bits per pixel, uncompressed, read in place: the bytes
// (a resource of the executable) must outlive the graphic.
class TBitmapGraphic {
public:
    virtual ~TBitmapGraphic() = default;
    void LoadFromBytes(const void* data, size_t size);
    int Width() const { return info_.bmiHeader.biWidth; }
    int Height() const { return std::abs(info_.bmiHeader.biHeight); }
    // Scales whole pixels (colour-on-colour), no smoothing.
    virtual void Draw(HDC dc, const RECT& target);
    // Colour of the lower-left pixel: a glyph's transparent colour.
    COLORREF LowerLeftColor() const;

protected:
    BITMAPINFO info_{};
    const BYTE* pixels_ = nullptr;  // rows as the file stores them
};

// Every graphic class reads a bitmap; a class of its own may draw it otherwise.
using TGraphic = TBitmapGraphic;
using TGraphicFactory = std::unique_ptr<TGraphic> (*)();

namespace TPicture {
// A stored picture names its graphic class, so the registry finds a class by
// its name alone.
void RegisterFileFormat(const std::wstring& className, TGraphicFactory factory);
void UnregisterGraphicClass(const std::wstring& className);
// Loads an RCDATA resource of the executable with the named graphic class;
// null when the class is not registered or the resource is missing.
std::unique_ptr<TGraphic> LoadFromResource(const std::wstring& className, const wchar_t* resource);
}  // namespace TPicture

// Where a picture of w x h is drawn in a control of W x H that keeps its
// proportions and centres it (large pictures are scaled down, small ones kept).
RECT ProportionalCenterRect(int w, int h, int W, int H);
