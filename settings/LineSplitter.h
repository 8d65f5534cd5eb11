#pragma once
// Cuts decoded text into lines. A line ends at CR LF, at LF or at a lone CR;
// a line break at the very end of the text yields no further, empty line.
// The text may arrive in pieces: a CR that ends one piece and an LF that
// starts the next are one line break.
//
// Runs once for every line of the file, so it lives in the header, where the
// compiler can fold it into the readers' loops.
#include <string>
#include <string_view>

#include "settings/TextScan.h"

class TLineSplitter {
public:
    // The buffer to append newly decoded text to. Lines already taken are
    // dropped from it first, which moves what is left to the start.
    std::wstring& Input() {
        text_.erase(0, pos_);
        pos_ = 0;
        return text_;
    }
    // The buffer as it is, for taking it over once all lines are taken.
    std::wstring& Text() { return text_; }

    // True when text is left that has not been taken as a line.
    bool HasText() {
        SkipLineFeedAfterCarriageReturn();
        return pos_ < text_.size();
    }

    // Takes the next complete line: its position and length in Text(),
    // without its line break. When `atEnd` says no more text will come, a
    // last line without a line break is complete too. False when no complete
    // line is there.
    bool TakeLine(size_t& start, size_t& length, bool atEnd) {
        if (!HasText()) return false;
        const size_t size = text_.size();
        const size_t end = FindLineBreak(text_.data(), pos_, size);
        if (end == size && !atEnd) return false;
        start = pos_;
        length = end - pos_;
        if (end == size) {
            pos_ = end;
        } else {
            afterCarriageReturn_ = text_[end] == L'\r';
            pos_ = end + 1;
        }
        return true;
    }

    // The same, as a view into Text(), valid until Input() is called.
    bool TakeLine(std::wstring_view& line, bool atEnd) {
        size_t start = 0, length = 0;
        if (!TakeLine(start, length, atEnd)) return false;
        line = std::wstring_view(text_.data() + start, length);
        return true;
    }

private:
    void SkipLineFeedAfterCarriageReturn() {
        // Whether the CR stood alone is only known once the next character is.
        if (!afterCarriageReturn_ || pos_ == text_.size()) return;
        if (text_[pos_] == L'\n') ++pos_;
        afterCarriageReturn_ = false;
    }

    std::wstring text_;
    size_t pos_ = 0;                    // start of the first line not yet taken
    bool afterCarriageReturn_ = false;  // the last line taken ended with CR
};
