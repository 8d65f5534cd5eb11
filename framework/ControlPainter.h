#pragma once
// Drawing shared by the controls that paint themselves: the window
// background and the push button with its glyph.
#include <windows.h>
#include <commctrl.h>

namespace ControlPainter {
// Brush for the form's and the picture control's background.
HBRUSH BackgroundBrush();
// A push button: face and frame for its state (pressed, hot, focused,
// disabled, default), then glyph and caption centred together.
void PaintPushButton(HWND button, HDC dc, HIMAGELIST glyph, SIZE glyphSize);
// Lays out a glyph and a caption side by side, centred in `area`, with `gap`
// pixels between them; returns the glyph's and the caption's rectangles.
void LayoutGlyphAndCaption(const RECT& area, SIZE glyph, SIZE caption, int gap, RECT& glyphRect,
                           RECT& captionRect);
}  // namespace ControlPainter
