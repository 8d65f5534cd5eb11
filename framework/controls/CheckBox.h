#pragma once
// A check box ("Button", BS_AUTOCHECKBOX): the system keeps its state, so
// BM_GETCHECK/BM_SETCHECK and screen readers see it as it is.
#include "framework/core/Control.h"

class TCheckBox : public TControl {
public:
    using TControl::TControl;

    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;
    bool IsTabStop() const override { return true; }

    bool Checked() const;
    void SetChecked(bool checked);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Window procedure shared by self-painted check boxes and radio buttons:
// draws them in the style, and lets the system handle everything else.
LRESULT CheckLikeWndProc(TWinControl& control, bool radio, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT (*defaultProc)(TWinControl&, UINT, WPARAM, LPARAM));
