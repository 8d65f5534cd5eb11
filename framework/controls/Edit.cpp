#include "framework/controls/Edit.h"

#include <algorithm>
#include <memory>

#include "framework/theme/ControlPainter.h"

namespace {
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Opens the clipboard for its lifetime (a null owner opens it too).
struct TOpenClipboard {
    explicit TOpenClipboard(HWND owner) : open(OpenClipboard(owner)) {}
    ~TOpenClipboard() {
        if (open) CloseClipboard();
    }
    const bool open;
};

// Whether the clipboard holds a text of one digit or more, ended by a NUL
// within its block (another program's text may lack it). The clipboard is
// open, and its text locked, only for the length of this call, however it ends.
bool ClipboardHoldsDigitsOnly(HWND owner) {
    const TOpenClipboard clipboard(owner);
    if (!clipboard.open) return false;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* chars = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!chars) return false;
    const std::unique_ptr<void, decltype([](void* locked) { GlobalUnlock(locked); })> unlock(data);
    const wchar_t* const blockEnd = chars + GlobalSize(data) / sizeof(wchar_t);
    const wchar_t* const end = std::find_if_not(chars, blockEnd, IsDigit);
    return end != chars && end != blockEnd && *end == L'\0';
}
}  // namespace

void TEdit::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    numbersOnly_ = desc.numbersOnly;
    DWORD style = StateStyle(desc) | ES_AUTOHSCROLL | (desc.centered ? ES_CENTER : ES_LEFT);
    if (desc.readOnly) style |= ES_READONLY;
    if (desc.numbersOnly) style |= ES_NUMBER;
    if (desc.tabOrder >= 0 && desc.visible) style |= WS_TABSTOP;
    text_ = desc.text;
    CreateChild(L"Edit", style, WS_EX_CLIENTEDGE, parent, desc.bounds, desc.id, text_, font);
    if (desc.maxLength > 0) SendMessageW(Handle(), EM_LIMITTEXT, desc.maxLength, 0);
}

void TEdit::SetText(const std::wstring& text) {
    if (text == text_) return;
    storing_ = true;
    SetWindowTextW(Handle(), text.c_str());
    storing_ = false;
    // The edit keeps what it can hold (a text ends at its first NUL): that is
    // the text from now on. Storing a text it cannot hold again changes
    // nothing, so a handler that stores its own text cannot run for ever.
    TakeHeldText();
}

std::optional<LRESULT> TEdit::OnReflectedCommand(WORD code) {
    // Edits also report a change when nothing changed (the same text stored
    // again, Ctrl+A under some systems): only a real change counts.
    if (code == EN_CHANGE && !storing_) TakeHeldText();
    return 0;
}

void TEdit::TakeHeldText() {
    std::wstring held = WindowText();
    if (held == text_) return;
    text_ = std::move(held);
    RaiseEvent();
}

std::optional<LRESULT> TEdit::OnReflectedCtlColor(HDC dc) {
    if (HBRUSH brush = ControlPainter::EditColors(dc, IsWindowEnabled(Handle())))
        return reinterpret_cast<LRESULT>(brush);
    return std::nullopt;
}

LRESULT TEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCPAINT:
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            // In the style the sunken client edge becomes a flat border that
            // lights up while the field has the focus.
            const LRESULT result = Default(message, wParam, lParam);
            if (message == WM_NCPAINT) ControlPainter::PaintEditFrame(Handle());
            else RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
            return result;
        }
        case WM_PASTE:
            if (!numbersOnly_) break;
            // The clipboard's text is taken only when all of it is acceptable;
            // a paste that would bring in anything else is refused as a whole.
            if (ClipboardHoldsDigitsOnly(Handle())) Default(WM_PASTE, 0, 0);
            else MessageBeep(MB_OK);
            return 0;
        case WM_CHAR:
            // Typed characters: digits and control keys (backspace, Ctrl+C ...) only.
            if (!numbersOnly_ || wParam < L' ' || (wParam >= L'0' && wParam <= L'9')) break;
            MessageBeep(MB_OK);
            return 0;
    }
    return Default(message, wParam, lParam);
}
