#pragma once
// Drawing of the controls that paint themselves. With a style in force (and
// Windows not in high-contrast mode) they are drawn in its palette; otherwise
// in the system's own colours. Painting never replaces a control's state:
// the controls stay standard windows and keep their texts and checks.
#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "framework/core/Handles.h"
#include "framework/theme/Style.h"

namespace ControlPainter {
// The palette to paint with, or null for the system's own look.
const TStylePalette* Palette();
// A solid brush of a colour, kept for the life of the process.
HBRUSH SolidBrush(COLORREF color);
// Brush for the form's, group boxes' and the picture control's background.
HBRUSH BackgroundBrush();

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
void LayoutGlyphAndCaption(const RECT& area, SIZE glyph, SIZE caption, int gap, RECT& glyphRect,
                           RECT& captionRect);
// Messages after which a self-painted button must be drawn again, because
// the system's handling of them changes its state or draws it directly.
bool ChangesButtonLook(UINT message);
// Answers the painting messages of a control that paints all of itself with
// `paint(dc)`: WM_PAINT, WM_PRINTCLIENT, and WM_ERASEBKGND with nothing.
// Other messages: no answer.
template <class Paint>
std::optional<LRESULT> PaintMessage(HWND control, UINT message, WPARAM wParam, Paint paint) {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PRINTCLIENT) {
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    if (message != WM_PAINT) return std::nullopt;
    ScopedPaint painting(control);
    paint(painting.dc());
    return 0;
}

// Asks Windows for a dark caption bar (Windows 10 and later); a no-op elsewhere.
void ApplyDarkCaption(HWND window);
}  // namespace ControlPainter
