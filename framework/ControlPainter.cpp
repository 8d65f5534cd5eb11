#include "framework/ControlPainter.h"

#include <string>
#include <vector>

#include "framework/Handles.h"

namespace ControlPainter {

HBRUSH BackgroundBrush() { return GetSysColorBrush(COLOR_BTNFACE); }

void LayoutGlyphAndCaption(const RECT& area, SIZE glyph, SIZE caption, int gap, RECT& glyphRect,
                           RECT& captionRect) {
    const int spacing = (glyph.cx > 0 && caption.cx > 0) ? gap : 0;
    const int total = glyph.cx + spacing + caption.cx;
    const int left = area.left + ((area.right - area.left) - total) / 2;
    const int midY = area.top + (area.bottom - area.top) / 2;
    glyphRect = RECT{left, midY - glyph.cy / 2, left + glyph.cx, midY - glyph.cy / 2 + glyph.cy};
    const int captionLeft = left + glyph.cx + spacing;
    captionRect = RECT{captionLeft, midY - caption.cy / 2, captionLeft + caption.cx,
                       midY - caption.cy / 2 + caption.cy};
}

namespace {
std::wstring TextOf(HWND window) {
    std::vector<wchar_t> buffer(GetWindowTextLengthW(window) + 1);
    GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return buffer.data();
}

void DrawGlyphAndCaption(HWND button, HDC dc, const RECT& face, HIMAGELIST glyph, SIZE glyphSize,
                         COLORREF textColor, bool disabled, int pressOffset) {
    const std::wstring caption = TextOf(button);
    auto font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
    ScopedSelect selectFont(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    RECT measure{0, 0, 0, 0};
    DrawTextW(dc, caption.c_str(), -1, &measure, DT_CALCRECT | DT_SINGLELINE);
    RECT glyphRect{}, captionRect{};
    LayoutGlyphAndCaption(face, glyph ? glyphSize : SIZE{0, 0}, SIZE{measure.right, measure.bottom}, 4,
                          glyphRect, captionRect);
    OffsetRect(&glyphRect, pressOffset, pressOffset);
    OffsetRect(&captionRect, pressOffset, pressOffset);
    if (glyph) {
        ImageList_DrawEx(glyph, 0, dc, glyphRect.left, glyphRect.top, 0, 0, CLR_NONE, CLR_NONE,
                         disabled ? (ILD_TRANSPARENT | ILD_BLEND50) : ILD_TRANSPARENT);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    DrawTextW(dc, caption.c_str(), -1, &captionRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}
}  // namespace

void PaintPushButton(HWND button, HDC target, HIMAGELIST glyph, SIZE glyphSize) {
    RECT client{};
    GetClientRect(button, &client);
    // Draw off-screen first so the button never flickers.
    UniqueMemoryDC dc(CreateCompatibleDC(target));
    UniqueBitmap buffer(CreateCompatibleBitmap(target, client.right, client.bottom));
    ScopedSelect selectBuffer(dc.get(), buffer.get());

    const LRESULT state = SendMessageW(button, BM_GETSTATE, 0, 0);
    const bool pressed = state & BST_PUSHED;
    const bool focused = GetFocus() == button;
    const bool disabled = !IsWindowEnabled(button);
    FillRect(dc.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT frame = client;
    DrawFrameControl(dc.get(), &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    RECT face = client;
    InflateRect(&face, -3, -3);
    DrawGlyphAndCaption(button, dc.get(), face, glyph, glyphSize,
                        GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT), disabled, pressed ? 1 : 0);
    const LRESULT ui = SendMessageW(button, WM_QUERYUISTATE, 0, 0);
    if (focused && !(ui & UISF_HIDEFOCUS)) DrawFocusRect(dc.get(), &face);
    BitBlt(target, 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
}

}  // namespace ControlPainter
