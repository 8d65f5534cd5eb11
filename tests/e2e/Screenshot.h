#pragma once
// Pixels as they are on the screen, for checks of what a window shows.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

class Screenshot {
public:
    // Copies a rectangle of the screen (screen coordinates).
    static Screenshot OfScreen(const RECT& area);
    // A window's outer rectangle as it is on the screen now.
    static Screenshot OfWindow(HWND window);
    // A window's client area.
    static Screenshot OfClient(HWND window);
    // A window once its painting has settled: it is repainted and brought to
    // the front, then captured until three captures in a row are the same
    // (or the time is up).
    static Screenshot OfSettledWindow(HWND window, DWORD timeoutMs = 3000);
    // An image of the given size, filled with one colour.
    Screenshot(int width, int height, uint32_t fill = 0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0x00RRGGBB.
    uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF; }
    uint32_t* Data() { return pixels_.data(); }
    bool operator==(const Screenshot&) const = default;
    bool SaveBmp(const std::wstring& path) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;  // top-down rows, 0xAARRGGBB
};

int Red(uint32_t pixel);
int Green(uint32_t pixel);
int Blue(uint32_t pixel);
// The largest difference of the three channels.
int ColourDistance(uint32_t a, uint32_t b);
// Mean brightness (0 black to 255 white) of the whole image.
double MeanBrightness(const Screenshot& shot);

}  // namespace e2e
