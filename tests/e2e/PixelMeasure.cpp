#include "tests/e2e/PixelMeasure.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <unordered_map>

#include "framework/core/Handles.h"
#include "tests/e2e/TestFolder.h"

namespace e2e {

namespace {

Box Clip(const Screenshot& shot, const Box& area) {
    const int left = std::max(area.left, 0), top = std::max(area.top, 0);
    const int right = std::min(area.left + area.width, shot.Width());
    const int bottom = std::min(area.top + area.height, shot.Height());
    return Box{left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

template <class Visit>
void ForEachPixel(const Screenshot& shot, const Box& area, Visit&& visit) {
    const Box clipped = Clip(shot, area);
    for (int y = clipped.top; y < clipped.top + clipped.height; ++y)
        for (int x = clipped.left; x < clipped.left + clipped.width; ++x) visit(shot.Pixel(x, y));
}

double Linear(int channel) {
    const double s = channel / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

// The source tree this test was built from: the style's readable source
// lies there, while the exe holds it only compressed.
std::wstring SourceRoot() {
    std::string file = __FILE__;
    const size_t tests = file.rfind("tests");
    return ToWindowsPath(std::string_view(file).substr(0, tests == std::string::npos ? 0 : tests));
}

// Blue, green, red as a .bmp stores them, as 0x00RRGGBB.
uint32_t ReadBgr(const std::string& bytes, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])); };
    return byte(2) << 16 | byte(1) << 8 | byte(0);
}

}  // namespace

double RelativeLuminance(uint32_t rgb) {
    return 0.2126 * Linear(Red(rgb)) + 0.7152 * Linear(Green(rgb)) + 0.0722 * Linear(Blue(rgb));
}

double ContrastRatio(uint32_t a, uint32_t b) {
    double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    if (la < lb) std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

std::string HexColour(uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

uint32_t MostFrequentColour(const Screenshot& shot, const Box& area) {
    std::unordered_map<uint32_t, int> counts;
    ForEachPixel(shot, area, [&](uint32_t pixel) { ++counts[pixel]; });
    uint32_t best = 0;
    int bestCount = 0;
    for (const auto& [colour, count] : counts)
        if (count > bestCount || (count == bestCount && colour < best)) best = colour, bestCount = count;
    return best;
}

uint32_t HighestContrastColour(const Screenshot& shot, const Box& area, uint32_t background) {
    uint32_t best = background;
    double bestRatio = 1;
    ForEachPixel(shot, area, [&](uint32_t pixel) {
        const double ratio = ContrastRatio(pixel, background);
        if (ratio > bestRatio) best = pixel, bestRatio = ratio;
    });
    return best;
}

int CountNear(const Screenshot& shot, const Box& area, uint32_t colour, int tolerance) {
    int count = 0;
    ForEachPixel(shot, area, [&](uint32_t pixel) { count += ColourDistance(pixel, colour) <= tolerance; });
    return count;
}

TextColours MeasureText(const Screenshot& shot, const Box& area) {
    TextColours colours;
    colours.background = MostFrequentColour(shot, area);
    colours.ink = HighestContrastColour(shot, area, colours.background);
    colours.ratio = ContrastRatio(colours.ink, colours.background);
    return colours;
}

std::vector<Span> InkColumns(const Screenshot& shot, const Box& area, uint32_t background, int tolerance,
                             int minGap) {
    const Box clipped = Clip(shot, area);
    std::vector<Span> spans;
    for (int x = clipped.left; x < clipped.left + clipped.width; ++x) {
        bool ink = false;
        for (int y = clipped.top; y < clipped.top + clipped.height && !ink; ++y)
            ink = ColourDistance(shot.Pixel(x, y), background) > tolerance;
        if (!ink) continue;
        if (!spans.empty() && x - spans.back().end < minGap)
            spans.back().end = x + 1;
        else
            spans.push_back(Span{x, x + 1});
    }
    return spans;
}

std::optional<Screenshot> BitmapResource(const std::wstring& exe, const wchar_t* name) {
    UniqueModule module(
        LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module) return std::nullopt;
    HRSRC info = FindResourceW(module.get(), name, MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL data = info ? LoadResource(module.get(), info) : nullptr;
    if (!data) return std::nullopt;
    const std::string bytes(static_cast<const char*>(LockResource(data)), SizeofResource(module.get(), info));

    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    if (bytes.size() < sizeof file + sizeof header) return std::nullopt;
    memcpy(&file, bytes.data(), sizeof file);
    memcpy(&header, bytes.data() + sizeof file, sizeof header);
    const int bytesPerPixel = header.biBitCount / 8;
    if (file.bfType != 0x4D42 || header.biCompression != BI_RGB || (bytesPerPixel != 3 && bytesPerPixel != 4))
        return std::nullopt;
    const int width = header.biWidth, height = std::abs(header.biHeight);
    const size_t stride = (static_cast<size_t>(width) * bytesPerPixel + 3) & ~size_t{3};
    if (width <= 0 || file.bfOffBits + stride * height > bytes.size()) return std::nullopt;

    Screenshot picture(width, height);
    for (int y = 0; y < height; ++y) {
        const int row = header.biHeight > 0 ? height - 1 - y : y;  // bottom-up unless the height is negative
        for (int x = 0; x < width; ++x) {
            const size_t at = file.bfOffBits + row * stride + static_cast<size_t>(x) * bytesPerPixel;
            picture.Data()[static_cast<size_t>(y) * width + x] = ReadBgr(bytes, at);
        }
    }
    return picture;
}

std::map<std::string, uint32_t> CarbonPalette() {
    std::map<std::string, uint32_t> palette;
    const std::optional<std::string> source = ReadFileBytes(SourceRoot() + L"resources\\style\\carbon.style");
    if (!source) return palette;
    std::istringstream lines(*source);
    std::string line;
    while (std::getline(lines, line)) {
        char name[64] = {};
        unsigned value = 0;
        if (std::sscanf(line.c_str(), " color.%63[A-Za-z] = #%6x", name, &value) == 2) palette[name] = value;
    }
    return palette;
}

}  // namespace e2e
