// The status bar as the screen shows it: two panels, the second one running
// to the bar's right end and showing the web address.
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/VisualTest.h"

namespace e2e {
namespace {

// Columns of the bar drawn as an unbroken vertical line of one colour other
// than the face, over the middle rows: the separators.
std::vector<int> LineColumns(const Screenshot& shot, const Box& bar, uint32_t face) {
    std::vector<int> lines;
    for (int x = bar.left; x < bar.left + bar.width; ++x) {
        const uint32_t first = shot.Pixel(x, bar.top + 3);
        bool line = ColourDistance(first, face) > 8;
        for (int y = bar.top + 3; y < bar.top + bar.height - 3 && line; ++y) line = shot.Pixel(x, y) == first;
        if (line) lines.push_back(x - bar.left);
    }
    return lines;
}

TEST_F(VisualTest, StatusBarPanelTwoReachesTheBarsRightEnd) {
    const Screenshot& shot = Capture();
    const Box bar = BoxOf(kIdStatusBar1);
    ASSERT_EQ(bar.width, 350);
    const uint32_t face = StyleColour("StatusFace");
    const Box below = Sub(bar, 0, 1, bar.width, bar.height - 1);  // under the bar's top line
    EXPECT_EQ(HexColour(MostFrequentColour(shot, below)), HexColour(face));

    // One separator, where panel 1 ends at 120; none inside panel 2.
    const std::vector<int> lines = LineColumns(shot, bar, face);
    EXPECT_EQ(lines.size(), 1u) << "separators at " << ::testing::PrintToString(lines);
    if (!lines.empty()) {
        EXPECT_GE(lines.front(), 116);
        EXPECT_LE(lines.front(), 120);
    }

    // Panel 2 shows its text from its left end, then the face up to the end.
    const Box panel2 = Sub(below, 121, 0, bar.width - 121, below.height);
    const std::vector<Span> ink = InkColumns(shot, panel2, face, 24, 8);
    ASSERT_FALSE(ink.empty()) << "panel 2 shows no text";
    EXPECT_LE(ink.front().begin - bar.left, 130) << "the text does not start at the panel's left end";
    const Box rest{ink.back().end, panel2.top, bar.left + bar.width - ink.back().end, panel2.height};
    EXPECT_GT(rest.width, 0);
    EXPECT_EQ(CountNear(shot, rest, face), rest.width * rest.height)
        << "something other than the face after the text: " << ::testing::PrintToString(rest);

    const std::wstring address = StatusBarText(Control(kIdStatusBar1), App().Handle(), 1);
    EXPECT_TRUE(std::regex_match(Narrow(address), std::regex(R"(https?://([a-z0-9-]+\.)+[a-z]{2,}(/\S*)?)")))
        << Narrow(address);
}

}  // namespace
}  // namespace e2e
