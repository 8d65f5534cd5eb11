#pragma once
// A group box ("Button", BS_GROUPBOX) that is also the parent of the controls
// drawn inside it. WS_EX_CONTROLPARENT lets Tab reach them.
#include "framework/core/Control.h"

class TGroupBox : public TControl {
public:
    using TControl::TControl;
    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;

protected:
    // A group box draws no background of its own; as a parent that clips its
    // children it must, or the space between them stays unpainted. In the
    // style it also draws its frame line and caption.
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
