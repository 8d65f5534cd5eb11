#include <gtest/gtest.h>

#include "framework/theme/ControlPainter.h"
#include "framework/controls/Graphics.h"
#include "framework/controls/RadioGroup.h"

TEST(ProportionalFit, BannerFillsTheControlExactly) {
    const RECT r = ProportionalCenterRect(512, 256, 354, 177);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 354);
    EXPECT_EQ(r.bottom, 177);
}

TEST(ProportionalFit, ScalesDownKeepingProportionsAndCentres) {
    RECT r = ProportionalCenterRect(400, 100, 200, 200);  // wide: width governs
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 50);
    EXPECT_EQ(r.top, 75);
    r = ProportionalCenterRect(100, 400, 200, 200);  // tall: height governs
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(r.left, 75);
    r = ProportionalCenterRect(300, 200, 300, 100);  // wide, but the height then exceeds
    EXPECT_EQ(r.bottom - r.top, 100);
    EXPECT_EQ(r.right - r.left, 150);
    r = ProportionalCenterRect(50, 40, 354, 177);  // fits: own size, centred
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(r.left, 152);
    EXPECT_EQ(r.top, 68);
}

TEST(RadioLayout, ItemsFollowTheTextHeightRule) {
    int top = 0, height = 0;
    TRadioGroup::ItemLayout(86, 3, top, height);
    EXPECT_EQ(height, 22);
    EXPECT_EQ(top, 15);
    TRadioGroup::ItemLayout(90, 4, top, height);  // (90-18)=72 -> 18 each, remainder 0
    EXPECT_EQ(height, 18);
    EXPECT_EQ(top, 14);
    TRadioGroup::ItemLayout(87, 2, top, height);  // 69 -> 34, remainder 1 -> 0
    EXPECT_EQ(height, 34);
    EXPECT_EQ(top, 14);
}

TEST(GlyphLayout, GlyphAndCaptionAreCentredTogetherFourPixelsApart) {
    RECT glyph{}, caption{};
    ControlPainter::LayoutGlyphAndCaption({0, 0, 131, 59}, {32, 32}, {25, 13}, 4, glyph, caption);
    EXPECT_EQ(glyph.right + 4, caption.left);
    EXPECT_EQ(glyph.left, (131 - (32 + 4 + 25)) / 2);
    EXPECT_EQ(glyph.top, 29 - 16);
}

TEST(PictureRegistry, LoadsAPictureOnlyUnderARegisteredClass) {
    EXPECT_EQ(TPicture::LoadFromResource(L"TTestGraphic", L"BANNER"), nullptr);
    TPicture::RegisterFileFormat(L"TTestGraphic", [] { return std::unique_ptr<TGraphic>(new TBitmapGraphic); });
    const auto banner = TPicture::LoadFromResource(L"TTestGraphic", L"BANNER");
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->Width(), 512);
    EXPECT_EQ(banner->Height(), 256);
    EXPECT_EQ(TPicture::LoadFromResource(L"TTestGraphic", L"NOSUCHPICTURE"), nullptr);
    TPicture::UnregisterGraphicClass(L"TTestGraphic");
    EXPECT_EQ(TPicture::LoadFromResource(L"TTestGraphic", L"BANNER"), nullptr);
}
