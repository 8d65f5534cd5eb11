// The configuration window itself: class, caption, frame, size, position, icon.
#include <algorithm>

#include "framework/core/Handles.h"
#include "tests/e2e/Harness.h"

namespace e2e {
namespace {
using UniqueIcon = UniqueHandle<HICON, DestroyIcon>;

class WindowTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteSettings(kNeutralSettings);
        ASSERT_NE(StartMain(), nullptr);
    }
};

TEST_F(WindowTest, IsTheConfigurationWindowWithItsCaptionAndClientSize) {
    EXPECT_EQ(ClassName(Main()), L"TKvgCFG");
    EXPECT_EQ(WindowText(Main()), kCaption);
    SIZE client = ClientSize(Main());
    EXPECT_EQ(client.cx, 354);
    EXPECT_EQ(client.cy, 345);
    EXPECT_EQ(GetParent(Main()), nullptr);
    EXPECT_TRUE(IsWindowEnabled(Main()));
    EXPECT_FALSE(IsZoomed(Main()));
    EXPECT_FALSE(IsIconic(Main()));
}

TEST_F(WindowTest, HasSystemMenuAndMinimiseButOnlyAFixedFrame) {
    EXPECT_TRUE(HasStyle(Main(), WS_CAPTION));
    EXPECT_TRUE(HasStyle(Main(), WS_SYSMENU));
    EXPECT_TRUE(HasStyle(Main(), WS_MINIMIZEBOX));
    EXPECT_FALSE(HasStyle(Main(), WS_MAXIMIZEBOX));
    EXPECT_FALSE(HasStyle(Main(), WS_THICKFRAME));
}

TEST_F(WindowTest, FrameOffersNoSizingEdges) {
    RECT frame{};
    GetWindowRect(Main(), &frame);
    const POINT edges[] = {{frame.left, frame.top},          {(frame.left + frame.right) / 2, frame.top},
                           {frame.right - 1, frame.top},     {frame.right - 1, (frame.top + frame.bottom) / 2},
                           {frame.right - 1, frame.bottom - 1}, {(frame.left + frame.right) / 2, frame.bottom - 1},
                           {frame.left, frame.bottom - 1},   {frame.left, (frame.top + frame.bottom) / 2}};
    for (POINT edge : edges) {
        LRESULT hit = SendOrZero(Main(), WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y));
        EXPECT_TRUE(hit < HTSIZEFIRST || hit > HTSIZELAST) << "sizing edge at " << edge.x << "," << edge.y;
    }
}

TEST_F(WindowTest, DoubleClickOnTheCaptionDoesNotMaximise) {
    RECT frame{};
    GetWindowRect(Main(), &frame);
    POINT caption{(frame.left + frame.right) / 2, frame.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
    ASSERT_EQ(SendOrZero(Main(), WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
    PostMessageW(Main(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x, caption.y));
    WaitForIdle(App().Handle(), Main());
    EXPECT_FALSE(IsZoomed(Main()));
    SIZE client = ClientSize(Main());
    EXPECT_EQ(client.cx, 354);
    EXPECT_EQ(client.cy, 345);
}

TEST_F(WindowTest, OpensCentredInTheWorkArea) {
    RECT workArea{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0));
    Box outer = BoxIn(Main(), nullptr);
    int left = (workArea.right - workArea.left - outer.width) / 2;
    int top = (workArea.bottom - workArea.top - outer.height) / 2;
    left = std::max(left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    top = std::max(top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    EXPECT_EQ(outer.left, left);
    EXPECT_EQ(outer.top, top);
}

// The dark style is in force: the settings group is drawn dark, not in the
// system's light button face.
TEST_F(WindowTest, SettingsAreDrawnInTheDarkStyle) {
    ASSERT_TRUE(BringToForeground(Main()));
    double brightness = MeanBrightness(Screenshot::OfSettledWindow(ChildById(Main(), kIdGroupBox4)));
    EXPECT_LT(brightness, 100) << "the window is not drawn in the dark style";
}

// The caption shows the small image of the exe's main icon. Another process's
// icon handle cannot be read under Wine (WM_GETICON answers 0 across
// processes), so the test looks for the icon's pixels on the screen.
TEST_F(WindowTest, CaptionShowsTheMainIcon) {
    UniqueModule exe(LoadLibraryExW(Exe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(exe);
    const int size = GetSystemMetrics(SM_CXSMICON);
    UniqueIcon icon(static_cast<HICON>(LoadImageW(exe.get(), L"MAINICON", IMAGE_ICON, size, size, 0)));
    ASSERT_TRUE(icon);

    // The icon drawn on black and on white: pixels that come out the same are
    // the opaque ones, which the caption must show unchanged.
    Screenshot onBlack(size, size, 0), onWhite(size, size, 0xFFFFFF);
    for (Screenshot* shot : {&onBlack, &onWhite}) {
        ScopedWindowDC screen(nullptr);
        UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
        UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), size, size));
        ScopedSelect select(memory.get(), bitmap.get());
        UniqueBrush brush(CreateSolidBrush(shot == &onBlack ? RGB(0, 0, 0) : RGB(255, 255, 255)));
        RECT all{0, 0, size, size};
        FillRect(memory.get(), &all, brush.get());
        DrawIconEx(memory.get(), 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                COLORREF c = GetPixel(memory.get(), x, y);
                shot->Data()[y * size + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            }
    }

    // The left part of the caption bar, where the icon stands.
    Screenshot window = Screenshot::OfSettledWindow(Main());
    Box outer = BoxIn(Main(), nullptr);
    POINT clientOrigin{0, 0};
    ClientToScreen(Main(), &clientOrigin);
    const int captionHeight = clientOrigin.y - outer.top;
    double bestMatch = 0;
    for (int dy = 0; dy + size <= captionHeight; ++dy)
        for (int dx = 0; dx + size <= 4 * size; ++dx) {
            int opaque = 0, matching = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    if (onBlack.Pixel(x, y) != onWhite.Pixel(x, y)) continue;
                    ++opaque;
                    if (ColourDistance(onBlack.Pixel(x, y), window.Pixel(dx + x, dy + y)) <= 40) ++matching;
                }
            if (opaque > 0) bestMatch = std::max(bestMatch, static_cast<double>(matching) / opaque);
        }
    EXPECT_GE(bestMatch, 0.9) << "the caption does not show the main icon";
}

}  // namespace
}  // namespace e2e
