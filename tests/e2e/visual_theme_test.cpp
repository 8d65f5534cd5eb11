// The dark look as the screen shows it: the client area's colour and the
// contrast of every text against what it is drawn on.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/VisualTest.h"

namespace e2e {
namespace {

// Dark: a relative luminance well below that of mid grey (0.22).
constexpr double kDarkLuminance = 0.05;
constexpr double kEnabledTextRatio = 4.5;   // WCAG AA, normal text
constexpr double kDisabledTextRatio = 3.0;  // readable greyed text

TEST_F(VisualTest, ClientAreaIsDarkInTheStylesWindowColour) {
    const Screenshot& shot = Capture();
    const uint32_t window = StyleColour("Window");
    EXPECT_LT(RelativeLuminance(window), kDarkLuminance) << "the style's Window colour is not dark";

    const Box group = BoxOf(kIdGroupBox4);
    const uint32_t seen = MostFrequentColour(shot, group);
    EXPECT_EQ(HexColour(seen), HexColour(window)) << "the settings group is not in the Window colour";
    EXPECT_LT(RelativeLuminance(seen), kDarkLuminance);

    // The background between the controls: the band between the group's
    // caption and the first row, and the gaps beside the radio groups.
    const Box chronicle = BoxOf(kIdChronicleGrp), protection = BoxOf(kIdProtectionGrp), save = BoxOf(kIdSave);
    const Box logo = BoxOf(kIdShowCustomLogo);
    const Box gaps[] = {
        Sub(group, 2, 15, group.width - 4, logo.top - group.top - 15),
        Box{chronicle.left + chronicle.width, chronicle.top, protection.left - chronicle.left - chronicle.width,
            chronicle.height},
        Box{protection.left + protection.width, protection.top, save.left - protection.left - protection.width,
            protection.height},
    };
    for (const Box& gap : gaps) {
        SCOPED_TRACE(::testing::PrintToString(gap));
        ASSERT_GT(gap.width * gap.height, 0);
        EXPECT_EQ(CountNear(shot, gap, window), gap.width * gap.height) << "the gap is not all Window colour";
    }

    double luminance = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) luminance += RelativeLuminance(shot.Pixel(x, y));
    EXPECT_LT(luminance / (shot.Width() * shot.Height()), 0.1) << "the window as a whole is not dark";
}

struct TextSample {
    std::string what;
    Box area;  // where only the text and its background are drawn
    double minimum;
};

// The middle rows of a check box's or radio item's text, from `left` on:
// the text starts 4 pixels right of the 13-pixel box or circle and is
// centred vertically; a focus frame runs one pixel around the text's line,
// above and below these rows whatever the font's height.
Box TextBand(const Box& control, int left, int width) {
    return Box{control.left + left, control.top + control.height / 2 - 4, width, 9};
}

TEST_F(VisualTest, EveryTextStandsOutFromItsBackground) {
    const Screenshot& shot = Capture();
    // The radio items' areas would take in the right edge of a focus frame.
    ASSERT_NE(GetParent(FocusOf(Main())), Control(kIdProtectionGrp));

    std::vector<TextSample> samples;
    const auto caption = [&](const char* what, int id, int width, double minimum) {
        samples.push_back({what, Sub(BoxOf(id), 10, 0, width, 13), minimum});
    };
    caption("GroupBox4 caption", kIdGroupBox4, 60, kEnabledTextRatio);
    caption("ProtectionGrp caption", kIdProtectionGrp, 40, kEnabledTextRatio);
    caption("ChronicleGrp caption", kIdChronicleGrp, 36, kDisabledTextRatio);
    samples.push_back({"ShowCustomLogo", TextBand(BoxOf(kIdShowCustomLogo), 18, 60), kEnabledTextRatio});
    samples.push_back({"Label13", BoxOf(kIdLabel13), kEnabledTextRatio});
    samples.push_back({"DLLKey", Inset(BoxOf(kIdDLLKey), 3), kEnabledTextRatio});
    for (int index = 0; index < 3; ++index) {
        const Box protection = BoxOf(Item(kIdProtectionGrp, index));
        const Box chronicle = BoxOf(Item(kIdChronicleGrp, index));
        samples.push_back({"ProtectionGrp item " + std::to_string(index),
                           TextBand(protection, 18, protection.width - 18), kEnabledTextRatio});
        samples.push_back({"ChronicleGrp item " + std::to_string(index),
                           TextBand(chronicle, 18, chronicle.width - 18), kDisabledTextRatio});
    }
    // The Save caption: the last run of ink columns on the button's face,
    // right of the glyph (4 pixels in: inside the frame and the focus ring).
    const Box face = Inset(BoxOf(kIdSave), 4);
    const std::vector<Span> ink = InkColumns(shot, face, MostFrequentColour(shot, face), 24, 3);
    ASSERT_GE(ink.size(), 2u) << "glyph and caption are not both on the button";
    samples.push_back({"Save caption", Box{ink.back().begin, face.top, ink.back().end - ink.back().begin, face.height},
                       kEnabledTextRatio});
    // Status panels: below the bar's top line, clear of the separator.
    const Box bar = BoxOf(kIdStatusBar1);
    samples.push_back({"StatusBar1 panel 1", Sub(bar, 2, 1, 114, bar.height - 1), kEnabledTextRatio});
    samples.push_back({"StatusBar1 panel 2", Sub(bar, 122, 1, bar.width - 122, bar.height - 1), kEnabledTextRatio});

    for (const TextSample& sample : samples) {
        SCOPED_TRACE(sample.what);
        const TextColours colours = MeasureText(shot, sample.area);
        std::printf("[ contrast ] %-22s ink %s on %s  %5.2f:1\n", sample.what.c_str(), HexColour(colours.ink).c_str(),
                    HexColour(colours.background).c_str(), colours.ratio);
        EXPECT_GE(colours.ratio, sample.minimum)
            << "ink " << HexColour(colours.ink) << " on " << HexColour(colours.background) << " in "
            << ::testing::PrintToString(sample.area);
        EXPECT_LT(RelativeLuminance(colours.background), kDarkLuminance + 0.02)
            << "text drawn on a light background " << HexColour(colours.background);
    }
}

}  // namespace
}  // namespace e2e
