#pragma once
// A check box ("Button", BS_AUTOCHECKBOX): the system keeps its state, so
// BM_GETCHECK/BM_SETCHECK and screen readers see it as it is.
#include "framework/core/Control.h"

class TCheckBox : public TControl {
public:
    using TControl::TControl;

    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;

    bool Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void SetChecked(bool checked) { SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Window procedure shared by check boxes and radio buttons: in the style it
// draws them itself and lets the system handle everything else.
LRESULT CheckLikeWndProc(TWinControl& control, bool radio, UINT message, WPARAM wParam, LPARAM lParam);
