#pragma once
// Measuring what a screenshot shows: colours by frequency and by contrast,
// the columns that carry ink, and the reference pictures and colours the
// window is drawn from (the exe's own bitmaps, the style's palette).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/Screenshot.h"
#include "tests/e2e/WindowQuery.h"

namespace e2e {

// WCAG 2 relative luminance (0 black to 1 white) and contrast ratio (1 to 21).
double RelativeLuminance(uint32_t rgb);
double ContrastRatio(uint32_t a, uint32_t b);
std::string HexColour(uint32_t rgb);  // "#RRGGBB"

// Areas are clipped to the screenshot.
uint32_t MostFrequentColour(const Screenshot& shot, const Box& area);
// The colour in the area that contrasts most with `background`.
uint32_t HighestContrastColour(const Screenshot& shot, const Box& area, uint32_t background);
// Pixels of the area within `tolerance` (largest channel difference) of `colour`.
int CountNear(const Screenshot& shot, const Box& area, uint32_t colour, int tolerance = 0);

// A text's colours as the screen shows them: the area's most frequent colour
// is the background, the colour contrasting most with it is the ink.
struct TextColours {
    uint32_t background = 0;
    uint32_t ink = 0;
    double ratio = 1;
};
TextColours MeasureText(const Screenshot& shot, const Box& area);

// Runs of columns [begin, end) in which some pixel differs from `background`
// by more than `tolerance`; runs closer than `minGap` clean columns merge.
// Columns are those of the screenshot, not relative to the area.
struct Span {
    int begin = 0, end = 0;
};
std::vector<Span> InkColumns(const Screenshot& shot, const Box& area, uint32_t background, int tolerance,
                             int minGap);

// A picture stored as a whole uncompressed .bmp file (24 or 32 bits per
// pixel) in an RCDATA resource of an exe; nothing when it is missing.
std::optional<Screenshot> BitmapResource(const std::wstring& exe, const wchar_t* name);

// The "color.Name = #RRGGBB" entries of the Carbon style's source file.
std::map<std::string, uint32_t> CarbonPalette();

}  // namespace e2e
