#include "framework/theme/ControlPainter.h"

#include <map>
#include <string>
#include <vector>

#include "framework/core/Handles.h"
#include "framework/core/Paths.h"
#include "framework/core/WinControl.h"
#include "framework/theme/StyleManager.h"

namespace ControlPainter {

namespace {
HFONT FontOf(HWND window) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

bool FocusCueHidden(HWND window) {
    return (SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
}

// Paints a client area (which starts at 0,0) into an off-screen bitmap and
// copies it at once: no flicker.
class BufferedDC {
public:
    BufferedDC(HDC target, const RECT& client)
        : target_(target), size_{client.right, client.bottom}, dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, size_.cx, size_.cy)), select_(dc_.get(), bitmap_.get()) {}
    ~BufferedDC() { BitBlt(target_, 0, 0, size_.cx, size_.cy, dc_.get(), 0, 0, SRCCOPY); }
    HDC get() const { return dc_.get(); }

private:
    HDC target_;
    SIZE size_;
    UniqueMemoryDC dc_;
    UniqueBitmap bitmap_;
    ScopedSelect select_;
};

// A filled and outlined box with corners of `radius`, or with kCircle an ellipse.
constexpr int kCircle = -1;
void Shape(HDC dc, const RECT& r, COLORREF fill, COLORREF border, int radius) {
    UniquePen pen(CreatePen(PS_SOLID, 1, border));
    ScopedSelect selectPen(dc, pen.get());
    ScopedSelect selectBrush(dc, SolidBrush(fill));
    if (radius == kCircle) Ellipse(dc, r.left, r.top, r.right, r.bottom);
    else RoundRect(dc, r.left, r.top, r.right, r.bottom, radius * 2, radius * 2);
}

// What a self-painted control answers to WM_CTLCOLOR*.
HBRUSH ControlColors(HDC dc, COLORREF text, COLORREF face) {
    SetTextColor(dc, text);
    SetBkColor(dc, face);
    return SolidBrush(face);
}

void DrawCheckMark(HDC dc, const RECT& box, COLORREF color) {
    const int s = box.right - box.left;
    const POINT points[3] = {{box.left + s * 3 / 13, box.top + s * 6 / 13},
                             {box.left + s * 5 / 13, box.top + s * 9 / 13},
                             {box.left + s * 10 / 13, box.top + s * 3 / 13}};
    UniquePen pen(CreatePen(PS_SOLID, 2, color));
    ScopedSelect selectPen(dc, pen.get());
    Polyline(dc, points, 3);
}
// Messages after which a self-painted control must be drawn again, because
// the system's handling of them changes its state or draws it directly.
bool ChangesLook(UINT message) {
    switch (message) {
        case BM_SETCHECK: case BM_SETSTATE: case BM_SETSTYLE: case BM_CLICK: case WM_SETFOCUS: case WM_KILLFOCUS:
        case WM_ENABLE: case WM_SETTEXT: case WM_UPDATEUISTATE: case WM_LBUTTONDOWN: case WM_LBUTTONUP:
        case WM_KEYDOWN: case WM_KEYUP: case WM_CAPTURECHANGED:
            return true;
        default:
            return false;
    }
}
}  // namespace

const TStylePalette* Palette() {
    return TStyleManager::IsStyleEnabled() ? &TStyleManager::ActiveStyle()->Palette() : nullptr;
}

HBRUSH SolidBrush(COLORREF color) {
    static std::map<COLORREF, UniqueBrush> brushes;
    auto& brush = brushes[color];
    if (!brush) brush.reset(CreateSolidBrush(color));
    return brush.get();
}

void FillBackground(HWND window, HDC dc) {
    const TStylePalette* palette = Palette();
    const RECT client = ClientRectOf(window);
    FillRect(dc, &client, palette ? SolidBrush(palette->Window) : GetSysColorBrush(COLOR_BTNFACE));
}

void LayoutGlyphAndCaption(const RECT& area, SIZE glyph, SIZE caption, int gap, RECT& glyphRect, RECT& captionRect) {
    const int spacing = (glyph.cx > 0 && caption.cx > 0) ? gap : 0;
    const int total = glyph.cx + spacing + caption.cx;
    const int left = area.left + ((area.right - area.left) - total) / 2;
    const int midY = area.top + (area.bottom - area.top) / 2;
    const auto centred = [midY](int x, SIZE s) { return RECT{x, midY - s.cy / 2, x + s.cx, midY - s.cy / 2 + s.cy}; };
    glyphRect = centred(left, glyph);
    captionRect = centred(left + glyph.cx + spacing, caption);
}

void PaintGroupBox(HWND groupBox, HDC dc) {
    const TStylePalette& p = *Palette();
    const RECT client = ClientRectOf(groupBox);
    FillRect(dc, &client, SolidBrush(p.Window));
    ScopedSelect selectFont(dc, FontOf(groupBox));
    const std::wstring caption = WindowTextOf(groupBox);
    RECT text{0, 0, 0, 0};
    DrawTextW(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
    const int lineY = text.bottom / 2;
    RECT frame{client.left, lineY, client.right, client.bottom};
    FrameRect(dc, &frame, SolidBrush(p.GroupFrame));
    if (caption.empty()) return;
    RECT label{8, 0, 8 + text.right + 4, text.bottom};
    FillRect(dc, &label, SolidBrush(p.Window));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(groupBox) ? p.GroupText : p.TextDisabled);
    OffsetRect(&label, 2, 0);
    DrawTextW(dc, caption.c_str(), -1, &label, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

void PaintCheckOrRadio(HWND button, HDC target, bool radio) {
    const TStylePalette& p = *Palette();
    const int size = TStyleManager::ActiveStyle()->Metrics().CheckBoxSize;
    const RECT client = ClientRectOf(button);
    BufferedDC buffer(target, client);
    HDC dc = buffer.get();
    FillRect(dc, &client, SolidBrush(p.Window));

    const bool enabled = IsWindowEnabled(button);
    const bool checked = SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const int top = (client.bottom - size) / 2;
    RECT box{client.left, top, client.left + size, top + size};
    const COLORREF mark = enabled ? p.CheckMark : p.CheckMarkDisabled;
    if (radio) {
        Shape(dc, box, p.CheckFace, p.CheckBorder, kCircle);
        RECT dot = box;
        InflateRect(&dot, -size / 4, -size / 4);
        if (checked) Shape(dc, dot, mark, mark, kCircle);
    } else {
        FillRect(dc, &box, SolidBrush(p.CheckFace));
        FrameRect(dc, &box, SolidBrush(p.CheckBorder));
        if (checked) DrawCheckMark(dc, box, mark);
    }

    ScopedSelect selectFont(dc, FontOf(button));
    const std::wstring caption = WindowTextOf(button);
    RECT text{box.right + 4, client.top, client.right, client.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? p.Text : p.TextDisabled);
    DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (GetFocus() == button && !FocusCueHidden(button)) {
        RECT cue = text;
        DrawTextW(dc, caption.c_str(), -1, &cue, DT_CALCRECT | DT_SINGLELINE);
        cue.top = (client.bottom - (cue.bottom - cue.top)) / 2 - 1;
        cue.bottom = cue.top + (text.bottom - text.top > 0 ? (cue.bottom - cue.top) + 2 : 0);
        InflateRect(&cue, 1, 0);
        FrameRect(dc, &cue, SolidBrush(p.FocusRing));
    }
}

void PaintPushButton(HWND button, HDC target, HIMAGELIST glyph, SIZE glyphSize, bool hot) {
    const RECT client = ClientRectOf(button);
    BufferedDC buffer(target, client);
    HDC dc = buffer.get();
    const bool pressed = SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED;
    const bool focused = GetFocus() == button && !FocusCueHidden(button);
    const bool disabled = !IsWindowEnabled(button);
    const TStylePalette* p = Palette();

    RECT face = client;
    COLORREF textColor;
    if (p) {
        FillRect(dc, &client, SolidBrush(p->Window));
        const COLORREF fill = disabled ? p->ButtonFaceDisabled
                              : pressed ? p->ButtonFacePressed
                              : hot     ? p->ButtonFaceHot
                                        : p->ButtonFace;
        const int radius = TStyleManager::ActiveStyle()->Metrics().ButtonCornerRadius;
        Shape(dc, client, fill, focused ? p->FocusRing : p->ButtonBorder, radius);
        if (focused) {
            RECT ring = client;
            InflateRect(&ring, -2, -2);
            Shape(dc, ring, fill, p->FocusRing, radius);
        }
        InflateRect(&face, -3, -3);
        textColor = disabled ? p->ButtonTextDisabled : p->ButtonText;
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
        InflateRect(&face, -3, -3);
        textColor = GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
        if (focused) DrawFocusRect(dc, &face);
    }

    const std::wstring caption = WindowTextOf(button);
    ScopedSelect selectFont(dc, FontOf(button));
    RECT measure{0, 0, 0, 0};
    DrawTextW(dc, caption.c_str(), -1, &measure, DT_CALCRECT | DT_SINGLELINE);
    RECT glyphRect{}, captionRect{};
    LayoutGlyphAndCaption(face, glyph ? glyphSize : SIZE{0, 0}, SIZE{measure.right, measure.bottom}, 4, glyphRect,
                          captionRect);
    const int shift = pressed ? 1 : 0;
    OffsetRect(&glyphRect, shift, shift);
    OffsetRect(&captionRect, shift, shift);
    if (glyph)
        ImageList_DrawEx(glyph, 0, dc, glyphRect.left, glyphRect.top, 0, 0, CLR_NONE, CLR_NONE,
                         disabled ? (ILD_TRANSPARENT | ILD_BLEND50) : ILD_TRANSPARENT);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    DrawTextW(dc, caption.c_str(), -1, &captionRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

void PaintStatusBar(HWND statusBar, HDC target) {
    const TStylePalette& p = *Palette();
    const RECT client = ClientRectOf(statusBar);
    BufferedDC buffer(target, client);
    HDC dc = buffer.get();
    FillRect(dc, &client, SolidBrush(p.StatusFace));
    RECT top{client.left, client.top, client.right, client.top + 1};
    FillRect(dc, &top, SolidBrush(p.StatusSeparator));

    const int parts = static_cast<int>(SendMessageW(statusBar, SB_GETPARTS, 0, 0));
    std::vector<int> rights(parts > 0 ? parts : 1);
    SendMessageW(statusBar, SB_GETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    ScopedSelect selectFont(dc, FontOf(statusBar));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, p.StatusText);
    int left = client.left;
    for (int i = 0; i < parts; ++i) {
        const int right = (rights[i] < 0 || i == parts - 1) ? client.right : rights[i];
        std::vector<wchar_t> text(LOWORD(SendMessageW(statusBar, SB_GETTEXTLENGTHW, i, 0)) + 1);
        SendMessageW(statusBar, SB_GETTEXTW, i, reinterpret_cast<LPARAM>(text.data()));
        RECT cell{left + 4, client.top + 1, right - 2, client.bottom};
        DrawTextW(dc, text.data(), -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
        if (i < parts - 1) {
            RECT separator{right - 1, client.top + 3, right, client.bottom - 2};
            FillRect(dc, &separator, SolidBrush(p.StatusSeparator));
        }
        left = right;
    }
}

void PaintEditFrame(HWND edit) {
    const TStylePalette* p = Palette();
    if (!p) return;
    ScopedWindowDC dc(edit, true);
    RECT window{};
    GetWindowRect(edit, &window);
    OffsetRect(&window, -window.left, -window.top);
    FrameRect(dc.get(), &window, SolidBrush(GetFocus() == edit ? p->EditBorderFocused : p->EditBorder));
    InflateRect(&window, -1, -1);
    FrameRect(dc.get(), &window, SolidBrush(p->EditFace));
}

HBRUSH EditColors(HDC dc, bool enabled) {
    const TStylePalette* p = Palette();
    return p ? ControlColors(dc, enabled ? p->EditText : p->TextDisabled, p->EditFace) : nullptr;
}

HBRUSH LabelColors(HDC dc) {
    const TStylePalette* p = Palette();
    return p ? ControlColors(dc, p->Text, p->Window) : nullptr;
}

LRESULT DefaultThenRepaint(TWinControl& control, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = control.Handle();  // the control may be gone after the system's handling
    const LRESULT result = message == WM_ENABLE ? DefWindowProcW(window, message, wParam, lParam)
                                                : control.Default(message, wParam, lParam);
    if (ChangesLook(message)) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return result;
}

void DropVisualStyle(HWND control) {
    if (!Palette()) return;
    static const UniqueModule uxtheme = LoadSystemLibrary(L"uxtheme.dll");
    const auto set = ProcAddress<HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR)>("SetWindowTheme", uxtheme.get());
    if (set) set(control, L"", L"");
}

void ApplyDarkCaption(HWND window) {
    const TStylePalette* p = Palette();
    if (!p) return;
    const UniqueModule dwm = LoadSystemLibrary(L"dwmapi.dll");
    const auto set = ProcAddress<HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD)>("DwmSetWindowAttribute", dwm.get());
    if (!set) return;
    const BOOL dark = TRUE;
    // Attribute 20 since Windows 10 20H1, 19 before it.
    if (FAILED(set(window, 20, &dark, sizeof(dark)))) set(window, 19, &dark, sizeof(dark));
    const COLORREF caption = p->CaptionBar;  // Windows 11 only; ignored elsewhere
    set(window, 35, &caption, sizeof(caption));
}

}  // namespace ControlPainter
