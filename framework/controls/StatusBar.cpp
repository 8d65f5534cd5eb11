#include "framework/controls/StatusBar.h"

#include <commctrl.h>

#include <vector>

#include "framework/theme/ControlPainter.h"
#include "framework/core/Handles.h"

void TStatusBar::CreateFrom(const TControlDesc& desc, HWND parent, HFONT /*font*/) {
    // Placed by the form, not by the status bar itself; no size grip.
    const DWORD style = VisibleStyle(desc) | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    CreateChild(STATUSCLASSNAMEW, style, 0, parent, ToRect(desc.bounds), desc.id, L"");
    std::vector<int> rights;
    int right = 0;
    for (size_t i = 0; i < desc.panels.size(); ++i) {
        right += desc.panels[i].width;
        rights.push_back(i + 1 == desc.panels.size() ? -1 : right);
    }
    SendMessageW(Handle(), SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    for (size_t i = 0; i < desc.panels.size(); ++i)
        SendMessageW(Handle(), SB_SETTEXTW, i, reinterpret_cast<LPARAM>(desc.panels[i].text));
}

std::wstring TStatusBar::PanelText(int index) const {
    const LRESULT info = SendMessageW(Handle(), SB_GETTEXTLENGTHW, index, 0);
    std::vector<wchar_t> buffer(LOWORD(info) + 1);
    SendMessageW(Handle(), SB_GETTEXTW, index, reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

LRESULT TStatusBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The panels stay the status bar's own (SB_GETTEXTW reads them); the
    // style only draws them.
    if (ControlPainter::Palette()) {
        if (message == WM_ERASEBKGND) return 1;
        if (message == WM_PAINT) {
            ScopedPaint paint(Handle());
            ControlPainter::PaintStatusBar(Handle(), paint.dc());
            return 0;
        }
    }
    return Default(message, wParam, lParam);
}
