#pragma once
// A status bar ("msctls_statusbar32") with plain text panels. The last panel
// always reaches the right end of the bar. It keeps the system's status-bar
// font. The panels stay the status bar's own (SB_GETTEXTW reads them); the
// style only draws them.
#include "framework/core/Control.h"

class TStatusBar : public TControl {
public:
    using TControl::TControl;
    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
