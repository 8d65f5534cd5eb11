#pragma once
// Drawing of the controls that paint themselves. With a style in force (and
// Windows not in high-contrast mode) they are drawn in its palette; otherwise
// in the system's own colours. Painting never replaces a control's state:
// the controls stay standard windows and keep their texts and checks.
#include <windows.h>
#include <commctrl.h>

#include "framework/core/Handles.h"
#include "framework/core/WinControl.h"
#include "framework/theme/Style.h"

namespace ControlPainter {
// The palette to paint with, or null for the system's own look.
const TStylePalette* Palette();
// A solid brush of a colour, kept for the life of the process.
HBRUSH SolidBrush(COLORREF color);
// Fills the client area of the form, a group box or the picture control with its background.
void FillBackground(HWND window, HDC dc);

// A group box's frame line and caption (the inside is left to the children).
void PaintGroupBox(HWND groupBox, HDC dc);
// A check box or radio button: box or circle, mark, caption, focus cue.
void PaintCheckOrRadio(HWND button, HDC dc, bool radio);
// A push button: face and frame for its state (pressed, hot, focused,
// disabled), then glyph and caption centred together.
void PaintPushButton(HWND button, HDC dc, HIMAGELIST glyph, SIZE glyphSize, bool hot);
// A status bar: face, panel texts and separators.
void PaintStatusBar(HWND statusBar, HDC dc);
// The one-pixel border of an edit drawn over its client edge.
void PaintEditFrame(HWND edit);
// Colours for an edit's or a label's WM_CTLCOLOR* answer; null: system's.
HBRUSH EditColors(HDC dc, bool enabled);
HBRUSH LabelColors(HDC dc);

// Lays out a glyph and a caption side by side, centred in `area`, with `gap`
// pixels between them; returns the glyph's and the caption's rectangles.
void LayoutGlyphAndCaption(const RECT& area, SIZE glyph, SIZE caption, int gap, RECT& glyphRect, RECT& captionRect);
// The system's handling of a message to a control, then, where that handling
// changes the control's look or draws it directly (outside WM_PAINT), a
// repaint at once, background included. WM_ENABLE goes to DefWindowProc
// instead: the control's own handling of it only draws.
LRESULT DefaultThenRepaint(TWinControl& control, UINT message, WPARAM wParam, LPARAM lParam);
// The window procedure of a control that paints all of itself with
// `paint(dc)`: WM_PAINT and WM_PRINTCLIENT paint, WM_ERASEBKGND does nothing,
// every other message goes to DefaultThenRepaint.
template <class Paint>
LRESULT SelfPaintedProc(TWinControl& control, UINT message, WPARAM wParam, LPARAM lParam, Paint paint) {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PRINTCLIENT) paint(reinterpret_cast<HDC>(wParam));
    else if (message == WM_PAINT) paint(ScopedPaint(control.Handle()).dc());  // EndPaint once painted
    else return DefaultThenRepaint(control, message, wParam, lParam);
    return 0;
}
// With the style in force, turns the system's visual style off for a control
// that paints all of itself: the system then draws no themed look and no
// animation of its own between our paints.
void DropVisualStyle(HWND control);

// Asks Windows for a dark caption bar (Windows 10 and later); a no-op elsewhere.
void ApplyDarkCaption(HWND window);
}  // namespace ControlPainter
