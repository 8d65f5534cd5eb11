#include "framework/CheckBox.h"

void TCheckBox::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    DWORD style = VisibleStyle(desc) | BS_AUTOCHECKBOX | WS_TABSTOP;
    if (!desc.enabled) style |= WS_DISABLED;
    CreateChild(L"Button", style, 0, parent, ToRect(desc.bounds), desc.id, desc.text);
    SetFont(font);
    SetChecked(desc.checked);
}

bool TCheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
    SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
