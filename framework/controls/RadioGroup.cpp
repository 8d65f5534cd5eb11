#include "framework/controls/RadioGroup.h"

#include <algorithm>
#include <utility>

#include "framework/controls/CheckBox.h"
#include "framework/theme/ControlPainter.h"

constexpr int kTextHeight = 13;

// Items are numbered after their group: group id + 1 + index.
TRadioGroup::TRadioItem::TRadioItem(TRadioGroup& group, int index, const wchar_t* text, const TBounds& bounds,
                                    DWORD style, HFONT font)
    : group_(group), index_(index) {
    CreateChild(L"Button", style | WS_VISIBLE | BS_RADIOBUTTON, 0, group.Handle(), bounds,
                GetDlgCtrlID(group.Handle()) + 1 + index, text, font);
    ControlPainter::DropVisualStyle(Handle());
}

std::optional<LRESULT> TRadioGroup::TRadioItem::OnReflectedCommand(WORD code) {
    // A radio button announces a click when it merely gets the focus (Tab,
    // or the window being activated again): that is no choice.
    if (code == BN_CLICKED && !inFocusChange_) group_.UserSelects(index_);
    return 0;
}

LRESULT TRadioGroup::TRadioItem::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS: {
            inFocusChange_ = true;
            const LRESULT result = CheckLikeWndProc(*this, true, message, wParam, lParam);
            inFocusChange_ = false;
            return result;
        }
        case WM_GETDLGCODE:
            // The group handles the arrow keys itself, so that moving between
            // items is a choice made on purpose.
            return Default(message, wParam, lParam) | DLGC_WANTARROWS;
        case WM_KEYDOWN:
            if (wParam == VK_DOWN || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_LEFT) {
                group_.UserMoves(index_, wParam == VK_DOWN || wParam == VK_RIGHT ? +1 : -1);
                return 0;
            }
            break;
    }
    return CheckLikeWndProc(*this, true, message, wParam, lParam);
}

void TRadioGroup::ItemLayout(int groupHeight, int count, int& firstTop, int& itemHeight) {
    const int room = groupHeight - kTextHeight - 5;
    itemHeight = count > 0 ? room / count : 0;
    firstTop = kTextHeight + 1 + (count > 0 ? (room % count) / 2 : 0);
}

void TRadioGroup::CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) {
    TGroupBox::CreateFrom(desc, parent, font);
    const int count = static_cast<int>(desc.items.size());
    int top = 0, height = 0;
    ItemLayout(desc.bounds.height, count, top, height);
    for (int i = 0; i < count; ++i) {
        const TBounds bounds{8, top + i * height, desc.bounds.width - 10, height};
        // The items of a disabled group are disabled too.
        const DWORD style = (i == 0 ? WS_GROUP : 0) | (desc.enabled ? 0 : WS_DISABLED);
        items_.push_back(std::make_unique<TRadioItem>(*this, i, desc.items[i], bounds, style, font));
    }
    // The recorded selection is put in place before any handler is attached.
    SetItemIndex(desc.itemIndex);
}

std::wstring TRadioGroup::ItemText(int index) const {
    return index >= 0 && index < ItemCount() ? items_[index]->WindowText() : std::wstring();
}

HWND TRadioGroup::ItemHandle(int index) const {
    return index >= 0 && index < ItemCount() ? items_[index]->Handle() : nullptr;
}

void TRadioGroup::SetItemIndex(int index) {
    index = std::max(-1, std::min(index, ItemCount() - 1));
    if (index == itemIndex_) return;
    const int previous = std::exchange(itemIndex_, index);
    if (previous >= 0) SendMessageW(ItemHandle(previous), BM_SETCHECK, BST_UNCHECKED, 0);
    if (itemIndex_ >= 0) SendMessageW(ItemHandle(itemIndex_), BM_SETCHECK, BST_CHECKED, 0);
    // Only the checked item is a tab stop; with none checked, the first is, so
    // that the keyboard can still reach the group.
    const int tabItem = std::max(itemIndex_, 0);
    for (int i = 0; i < ItemCount(); ++i) {
        const LONG_PTR style = GetWindowLongPtrW(ItemHandle(i), GWL_STYLE);
        SetWindowLongPtrW(ItemHandle(i), GWL_STYLE, i == tabItem ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
    if (itemIndex_ != -1) RaiseEvent();
}

void TRadioGroup::UserSelects(int index) {
    // Under some systems BM_CLICK still reaches a disabled radio button.
    if (!IsWindowEnabled(Handle()) || !IsWindowEnabled(ItemHandle(index))) return;
    SetItemIndex(index);
}

void TRadioGroup::UserMoves(int from, int step) {
    const int count = ItemCount();
    for (int n = 1; n < count; ++n) {
        const int candidate = ((from + step * n) % count + count) % count;
        if (IsWindowEnabled(ItemHandle(candidate))) {
            SetFocus(ItemHandle(candidate));
            UserSelects(candidate);
            return;
        }
    }
}
