// The shipped style "Carbon": the committed .vsf must be the compiled form of
// its source, and its palette must stay readable.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "framework/theme/Style.h"
#include "framework/theme/StyleFormat.h"
#include "tests/unit/style_test_support.h"

namespace {

std::vector<uint8_t> CommittedVsf() {
    return style_test::ReadBytes(style_test::RepoFile("resources/style/carbon.vsf"));
}

TCustomStyle CompiledCarbon() {
    const std::vector<uint8_t> bytes = CommittedVsf();
    return TCustomStyle::Load(bytes.data(), bytes.size());
}

// WCAG 2 relative luminance of an sRGB colour.
double Luminance(COLORREF c) {
    auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) +
           0.0722 * channel(GetBValue(c));
}

double ContrastRatio(COLORREF a, COLORREF b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

TEST(CarbonStyle, CommittedResourceMatchesItsSource) {
    const std::vector<uint8_t> committed = CommittedVsf();
    ASSERT_GT(committed.size(), 1u) << "resources/style/carbon.vsf is missing or a placeholder";
    const std::string source = style_test::ReadText(style_test::RepoFile("resources/style/carbon.style"));
    ASSERT_FALSE(source.empty());

    // Compared inflated: the compressed bytes may differ between zlib versions.
    EXPECT_EQ(StyleFormat::Inflate(committed.data(), committed.size()),
              StyleWriter::Serialize(StyleWriter::ParseSource(source)))
        << "carbon.vsf is stale: run tools/make-style.sh and commit it";
}

TEST(CarbonStyle, IsNamedCarbonAndDark) {
    const TCustomStyle carbon = CompiledCarbon();
    EXPECT_EQ(carbon.Name(), L"Carbon");
    const TStylePalette& p = carbon.Palette();
    for (COLORREF face : {p.Window, p.EditFace, p.ButtonFace, p.CheckFace, p.StatusFace, p.CaptionBar})
        EXPECT_LT(Luminance(face), 0.05);
    EXPECT_GT(Luminance(p.Text), 0.5);
    EXPECT_GE(carbon.Metrics().CheckBoxSize, 11);
}

TEST(CarbonStyle, MeetsWcagContrast) {
    const TStylePalette p = CompiledCarbon().Palette();
    struct Pair {
        const char* what;
        COLORREF fore, back;
        double minimum;
    };
    // 4.5:1 for text that can be used; 3:1 for disabled text and for the
    // shapes that show state (focus ring, box outline, disabled check mark).
    const Pair pairs[] = {
        {"Text on Window", p.Text, p.Window, 4.5},
        {"GroupText on Window", p.GroupText, p.Window, 4.5},
        {"EditText on EditFace", p.EditText, p.EditFace, 4.5},
        {"ButtonText on ButtonFace", p.ButtonText, p.ButtonFace, 4.5},
        {"ButtonText on ButtonFaceHot", p.ButtonText, p.ButtonFaceHot, 4.5},
        {"ButtonText on ButtonFacePressed", p.ButtonText, p.ButtonFacePressed, 4.5},
        {"StatusText on StatusFace", p.StatusText, p.StatusFace, 4.5},
        {"CheckMark on CheckFace", p.CheckMark, p.CheckFace, 4.5},
        {"TextDisabled on Window", p.TextDisabled, p.Window, 3.0},
        {"ButtonTextDisabled on ButtonFaceDisabled", p.ButtonTextDisabled, p.ButtonFaceDisabled, 3.0},
        {"CheckMarkDisabled on CheckFace", p.CheckMarkDisabled, p.CheckFace, 3.0},
        {"CheckBorder on Window", p.CheckBorder, p.Window, 3.0},
        {"FocusRing on Window", p.FocusRing, p.Window, 3.0},
        {"FocusRing on ButtonFace", p.FocusRing, p.ButtonFace, 3.0},
        {"EditBorderFocused on Window", p.EditBorderFocused, p.Window, 3.0},
    };
    for (const Pair& pair : pairs) {
        const double ratio = ContrastRatio(pair.fore, pair.back);
        EXPECT_GE(ratio, pair.minimum) << pair.what << ": " << ratio << ":1";
    }
    // Disabled text must still look disabled.
    EXPECT_LT(ContrastRatio(p.TextDisabled, p.Window), ContrastRatio(p.Text, p.Window) / 1.5);
}

TEST(CarbonStyle, ContrastRatioMatchesKnownValues) {
    EXPECT_NEAR(ContrastRatio(RGB(0, 0, 0), RGB(255, 255, 255)), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(RGB(119, 119, 119), RGB(255, 255, 255)), 4.48, 0.01);
    EXPECT_NEAR(ContrastRatio(RGB(30, 31, 34), RGB(30, 31, 34)), 1.0, 1e-9);
}
