#include "tests/e2e/Screenshot.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <optional>

#include "framework/core/Handles.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/e2e/TestFolder.h"

namespace e2e {

namespace {

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

Screenshot::Screenshot(int width, int height, uint32_t fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, fill | 0xFF000000u) {}

Screenshot Screenshot::OfScreen(const RECT& area) {
    Screenshot shot(area.right - area.left, area.bottom - area.top);
    if (shot.width_ == 0 || shot.height_ == 0) return shot;
    ScopedWindowDC screen(nullptr);
    UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info = TopDown32(shot.width_, shot.height_);
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return shot;
    {
        ScopedSelect select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, shot.width_, shot.height_, screen.get(), area.left, area.top, SRCCOPY);
        GdiFlush();
    }
    memcpy(shot.pixels_.data(), bits, shot.pixels_.size() * sizeof(uint32_t));
    // The screen has no alpha; make every pixel opaque for viewers of saved images.
    for (uint32_t& pixel : shot.pixels_) pixel |= 0xFF000000u;
    return shot;
}

Screenshot Screenshot::OfWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return OfScreen(rect);
}

Screenshot Screenshot::OfClient(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return OfScreen(rect);
}

Screenshot Screenshot::OfSettledWindow(HWND window, DWORD timeoutMs) {
    // Another process's window: the repaint request goes to its thread, which
    // paints once its queue is empty. Other programs' windows may cover it,
    // so a capture only counts while its top-level window is in front.
    HWND top = GetAncestor(window, GA_ROOT);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendWithTimeout(window, WM_NULL);
    std::optional<Screenshot> previous;
    int sameInARow = 0;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    Screenshot last = OfWindow(window);
    while (GetTickCount64() < deadline) {
        Sleep(100);
        if (GetForegroundWindow() != top) {
            BringToForeground(top);
            previous.reset();
            continue;
        }
        last = OfWindow(window);
        if (GetForegroundWindow() != top) continue;
        sameInARow = previous && *previous == last ? sameInARow + 1 : 0;
        if (sameInARow >= 2) break;
        previous = last;
    }
    return last;
}

bool Screenshot::SaveBmp(const std::wstring& path) const {
    BITMAPINFO info = TopDown32(width_, height_);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels_.size() * sizeof(uint32_t));
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(reinterpret_cast<const char*>(pixels_.data()), pixels_.size() * sizeof(uint32_t));
    try {
        WriteFileBytes(path, bytes);
        return true;
    } catch (...) {
        return false;
    }
}

int Red(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
int Green(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
int Blue(uint32_t pixel) { return pixel & 0xFF; }

int ColourDistance(uint32_t a, uint32_t b) {
    return std::max({std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)), std::abs(Blue(a) - Blue(b))});
}

double MeanBrightness(const Screenshot& shot) {
    if (shot.Width() == 0 || shot.Height() == 0) return 0;
    double sum = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            uint32_t pixel = shot.Pixel(x, y);
            sum += 0.299 * Red(pixel) + 0.587 * Green(pixel) + 0.114 * Blue(pixel);
        }
    return sum / (static_cast<double>(shot.Width()) * shot.Height());
}

}  // namespace e2e
