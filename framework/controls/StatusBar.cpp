#include "framework/controls/StatusBar.h"

#include <commctrl.h>

#include <vector>

#include "framework/core/Handles.h"
#include "framework/theme/ControlPainter.h"

void TStatusBar::CreateFrom(const TControlDesc& desc, HWND parent, HFONT /*font*/) {
    // Placed by the form, not by the status bar itself; no size grip.
    CreateChild(STATUSCLASSNAMEW, StateStyle(desc) | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, parent,
                desc.bounds, desc.id, L"");
    ControlPainter::DropVisualStyle(Handle());
    std::vector<int> rights;
    int right = 0;
    for (const TStatusPanelDesc& panel : desc.panels) rights.push_back(right += panel.width);
    if (!rights.empty()) rights.back() = -1;
    SendMessageW(Handle(), SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    for (size_t i = 0; i < desc.panels.size(); ++i)
        SendMessageW(Handle(), SB_SETTEXTW, i, reinterpret_cast<LPARAM>(desc.panels[i].text));
}

LRESULT TStatusBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!ControlPainter::Palette()) return Default(message, wParam, lParam);
    const auto paint = [this](HDC dc) { ControlPainter::PaintStatusBar(Handle(), dc); };
    return ControlPainter::SelfPaintedProc(*this, message, wParam, lParam, paint);
}
