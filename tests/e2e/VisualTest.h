#pragma once
// Fixture of the visual tests: the configurator started with a known settings
// file, in the foreground with the pointer away from it, and captured from
// the screen once it has finished painting. Captures of a failed test are
// kept as .bmp files in the build folder, under visual-failures.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <list>

#include "tests/e2e/Harness.h"
#include "tests/e2e/PixelMeasure.h"

namespace e2e {

// Loaded values that give every visible text something to show: the build
// ID field holds "123"; the logo box is checked.
inline constexpr char kVisualSettings[] =
    "[DEFAULT]\r\n"
    "PROTECTION_ID = 0\r\n"
    "PROTECTION_MODE = 0\r\n"
    "PROTECTION_CHRONICLE = 0\r\n"
    "PROTECTION_LOGO = 1\r\n"
    "PROTECTION_CLIENT_ID = 123\r\n";

class VisualTest : public AppTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The window's client area once two captures in a row agree; `label`
    // names the file it is saved to if the test fails.
    const Screenshot& Capture(const std::string& label = "window");
    // A control's rectangle in the client area of the window.
    Box BoxOf(HWND control) const { return BoxIn(control, Main()); }
    Box BoxOf(int id) const { return BoxOf(Control(id)); }
    HWND Item(int groupId, int index) const { return ChildById(Control(groupId), RadioItemId(groupId, index)); }
    // A colour of the Carbon style (0x00RRGGBB); fails the test when the
    // style's source does not define it.
    uint32_t StyleColour(const std::string& name) const;

private:
    std::map<std::string, uint32_t> palette_;
    std::list<std::pair<std::string, Screenshot>> captures_;  // references stay valid
};

// A box shrunk by `inset` on every side.
Box Inset(const Box& box, int inset);
// A part of `outer`, placed relative to its top-left corner.
Box Sub(const Box& outer, int left, int top, int width, int height);

}  // namespace e2e
