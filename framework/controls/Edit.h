#pragma once
// A single-line edit ("Edit" class) that keeps the layer's change rules:
// storing the text it already holds does nothing; storing a different text
// runs OnChange once before the store returns; the user's edits run OnChange
// only when the text really changed. The edit holds a text up to its first
// NUL; Text() is always what it holds. With NumbersOnly, the user can type or
// paste digits only; texts the program stores are kept whole.
#include "framework/core/Control.h"

class TEdit : public TControl {
public:
    explicit TEdit(std::wstring name) : TControl(std::move(name), L"OnChange") {}
    void CreateFrom(const TControlDesc& desc, HWND parent, HFONT font) override;

    const std::wstring& Text() const { return text_; }
    void SetText(const std::wstring& text);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::optional<LRESULT> OnReflectedCommand(WORD code) override;
    std::optional<LRESULT> OnReflectedCtlColor(HDC dc) override;

private:
    // Takes what the edit holds as its text; runs OnChange when that differs.
    void TakeHeldText();

    std::wstring text_;  // what the control holds, as last seen
    bool numbersOnly_ = false;
    bool storing_ = false;
};
