// The two pictures of the window as the screen shows them: the banner across
// the top and the glyph on the Save button.
#include <algorithm>
#include <optional>
#include <vector>

#include "tests/e2e/VisualTest.h"

namespace e2e {
namespace {

// Whether the screen pixel is one the picture, scaled to `target` by whole
// pixels, can show there. Scalers differ in how they round, so the source
// pixels next to the nominal one count as well.
bool ShowsScaledPixel(const Screenshot& picture, const Box& target, uint32_t screen, int x, int y) {
    const int sx = x * picture.Width() / target.width, sy = y * picture.Height() / target.height;
    for (int py = std::max(sy - 1, 0); py <= std::min(sy + 1, picture.Height() - 1); ++py)
        for (int px = std::max(sx - 1, 0); px <= std::min(sx + 1, picture.Width() - 1); ++px)
            if (ColourDistance(picture.Pixel(px, py), screen) <= 3) return true;
    return false;
}

TEST_F(VisualTest, BannerFillsImage1EdgeToEdge) {
    const Screenshot& shot = Capture();
    const std::optional<Screenshot> banner = BitmapResource(Exe(), L"BANNER");
    ASSERT_TRUE(banner.has_value()) << "the exe holds no banner";
    const Box image = BoxOf(kIdImage1);
    ASSERT_EQ(image, (Box{0, 0, 354, 177}));
    const uint32_t window = StyleColour("Window");

    struct Edge {
        const char* name;
        int x0, y0, dx, dy, length;
    };
    const Edge edges[] = {
        {"top", 0, 0, 1, 0, image.width},
        {"bottom", 0, image.height - 1, 1, 0, image.width},
        {"left", 0, 0, 0, 1, image.height},
        {"right", image.width - 1, 0, 0, 1, image.height},
    };
    for (const Edge& edge : edges) {
        SCOPED_TRACE(edge.name);
        int matching = 0, background = 0;
        for (int i = 0; i < edge.length; ++i) {
            const int x = edge.x0 + edge.dx * i, y = edge.y0 + edge.dy * i;
            const uint32_t pixel = shot.Pixel(image.left + x, image.top + y);
            matching += ShowsScaledPixel(*banner, image, pixel, x, y);
            background += pixel == window;
        }
        EXPECT_LT(background, edge.length) << "a bar of the window colour along the edge";
        EXPECT_GE(matching, edge.length * 95 / 100) << "the edge does not show the banner's edge";
    }

    int matching = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            matching += ShowsScaledPixel(*banner, image, shot.Pixel(image.left + x, image.top + y), x, y);
    EXPECT_GE(matching, image.width * image.height * 95 / 100) << "the banner is not drawn scaled to fill Image1";
}

TEST_F(VisualTest, SaveGlyphShowsNoBoxOfItsTransparentColour) {
    const Screenshot& shot = Capture();
    const std::optional<Screenshot> glyph = BitmapResource(Exe(), L"SAVEGLYPH");
    ASSERT_TRUE(glyph.has_value()) << "the exe holds no Save glyph";
    const uint32_t transparent = glyph->Pixel(0, glyph->Height() - 1);  // the lower-left pixel
    const Box button = BoxOf(kIdSave);
    EXPECT_EQ(CountNear(shot, button, transparent, 8), 0) << "transparent colour " << HexColour(transparent);
    EXPECT_EQ(CountNear(shot, button, 0xFF00FF, 8), 0) << "magenta on the button";

    // Where the glyph's opaque pixels show best; its transparent ones must
    // show the button's face there.
    const Box face = Inset(button, 4);
    const uint32_t faceColour = MostFrequentColour(shot, face);
    const Box whole{0, 0, glyph->Width(), glyph->Height()};
    const int opaque = whole.width * whole.height - CountNear(*glyph, whole, transparent);
    ASSERT_GT(opaque, 0);
    int bestLeft = 0, bestTop = 0, bestMatch = -1;
    for (int top = button.top; top + glyph->Height() <= button.top + button.height; ++top)
        for (int left = button.left; left + glyph->Width() <= button.left + button.width; ++left) {
            int match = 0;
            for (int y = 0; y < glyph->Height(); ++y)
                for (int x = 0; x < glyph->Width(); ++x)
                    if (glyph->Pixel(x, y) != transparent)
                        match += ColourDistance(glyph->Pixel(x, y), shot.Pixel(left + x, top + y)) <= 8;
            if (match > bestMatch) bestMatch = match, bestLeft = left, bestTop = top;
        }
    EXPECT_GE(bestMatch, opaque * 95 / 100) << "the glyph is not shown";

    int transparentPixels = 0, showingFace = 0;
    for (int y = 0; y < glyph->Height(); ++y)
        for (int x = 0; x < glyph->Width(); ++x) {
            if (glyph->Pixel(x, y) != transparent) continue;
            ++transparentPixels;
            showingFace += shot.Pixel(bestLeft + x, bestTop + y) == faceColour;
        }
    EXPECT_EQ(showingFace, transparentPixels)
        << "the glyph's transparent pixels hide the face " << HexColour(faceColour);

    // The glyph stands out from the face, left of the caption.
    const Box drawn{bestLeft, bestTop, glyph->Width(), glyph->Height()};
    EXPECT_GE(drawn.width * drawn.height - CountNear(shot, drawn, faceColour, 60), opaque / 4)
        << "the glyph barely differs from the face";
    const std::vector<Span> ink = InkColumns(shot, face, faceColour, 24, 3);
    ASSERT_GE(ink.size(), 2u);
    EXPECT_LE(drawn.left + drawn.width, ink.back().begin) << "the glyph overlaps the caption";
}

}  // namespace
}  // namespace e2e
