#pragma once
// A radio group: a group box ("Button", BS_GROUPBOX) whose items are real
// radio buttons ("Button", BS_RADIOBUTTON) in one column. The group, not the
// system, decides which item is checked, so that:
//  - setting ItemIndex to the selected index does nothing, and selecting
//    another item runs OnClick once (unless nothing ends up selected);
//  - the user re-selecting the selected item does nothing;
//  - a radio button merely receiving the focus selects nothing;
//  - a disabled group accepts no selection, whatever message arrives.
#include <memory>
#include <vector>

#include "framework/controls/GroupBox.h"

class TRadioGroup : public TGroupBox {
public:
    explicit TRadioGroup(std::wstring name) : TGroupBox(std::move(name), L"OnClick") {}
    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;

    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int ItemCount() const { return static_cast<int>(items_.size()); }
    std::wstring ItemText(int index) const;
    HWND ItemHandle(int index) const;

    // Item geometry inside a group of the given height: top of the first item
    // and height of each, for `count` items and a text height of 13.
    static void ItemLayout(int groupHeight, int count, int& firstTop, int& itemHeight);

private:
    // One item of the group: a plain radio button whose clicks go to the group.
    class TRadioItem : public TWinControl {
    public:
        TRadioItem(TRadioGroup& group, int index, const wchar_t* text, const TBounds& bounds, DWORD style, HFONT font);

    protected:
        std::optional<LRESULT> OnReflectedCommand(WORD code) override;
        LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        TRadioGroup& group_;
        int index_;
        bool inFocusChange_ = false;
    };

    void UserSelects(int index);
    void UserMoves(int from, int step);

    std::vector<std::unique_ptr<TRadioItem>> items_;
    int itemIndex_ = -1;
};
