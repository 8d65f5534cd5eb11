#pragma once
// Cuts text into lines. A line ends at CR LF, at LF or at a lone CR; a line
// break at the very end of the text yields no further, empty line. The text
// may arrive in pieces: a CR that ends one piece and an LF that starts the
// next are one line break.
//
// It cuts decoded text (TLineSplitter) as well as the bytes of a file in an
// ANSI code page (TByteLineSplitter): there CR and LF are single bytes that
// are never part of another character, so the bytes split into the same
// lines as their text.
//
// Runs once for every line of the file, so it lives in the header, where the
// compiler can fold it into the readers' loops.
#include <algorithm>
#include <string>
#include <string_view>

#include "settings/TextScan.h"

template <class Char>
class TBasicLineSplitter {
public:
    using String = std::basic_string<Char>;
    using View = std::basic_string_view<Char>;

    // The buffer to append new text to. Lines already taken are dropped from
    // it first, which moves what is left to the start.
    String& Input() {
        text_.erase(0, pos_);
        searched_ -= std::min(searched_, pos_);
        needleSearched_ -= std::min(needleSearched_, pos_);
        pos_ = 0;
        return text_;
    }
    // The buffer as it is, for taking it over once all lines are taken.
    String& Text() { return text_; }

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
        // A long line arrives in many pieces: each is searched once only.
        const size_t end = FindLineBreak(text_.data(), std::max(pos_, searched_), size);
        if (end == size && !atEnd) {
            searched_ = size;
            return false;
        }
        start = pos_;
        length = end - pos_;
        if (end == size) {
            pos_ = end;
        } else {
            afterCarriageReturn_ = text_[end] == Char('\r');
            pos_ = end + 1;
        }
        return true;
    }

    // The same, as a view into Text(), valid until Input() is called.
    bool TakeLine(View& line, bool atEnd) {
        size_t start = 0, length = 0;
        if (!TakeLine(start, length, atEnd)) return false;
        line = View(text_.data() + start, length);
        return true;
    }

    // Passes over the complete lines at the front that do not contain the
    // plain ASCII `needle` and puts them into `passed`, line breaks included
    // (the last line of the text without one when `atEnd`). True when it
    // stopped before a line that contains it; false when it passed every
    // complete line. A run of lines costs one search, not one a line.
    bool PassLinesWithout(std::wstring_view needle, bool atEnd, View& passed) {
        SkipLineFeedAfterCarriageReturn();
        if (needle != needle_) {
            needle_ = needle;
            needleSearched_ = 0;
        }
        const size_t size = text_.size();
        const size_t from = std::max(pos_, needleSearched_);
        const size_t found = FindText(View(text_.data() + from, size - from), needle);
        size_t end;
        if (found != View::npos) {
            needleSearched_ = from + found;
            end = StartOfLineAt(from + found);
        } else {
            // A needle may yet begin in the last few characters.
            needleSearched_ = std::max(from, size - std::min(size, needle.size() - 1));
            end = atEnd ? size : StartOfLineAt(size);
        }
        passed = View(text_.data() + pos_, end - pos_);
        if (end > pos_) {
            afterCarriageReturn_ = text_[end - 1] == Char('\r');
            pos_ = end;
        }
        return found != View::npos;
    }

private:
    // Where the line that holds position `at` begins: after the last line
    // break before it, and never before pos_.
    size_t StartOfLineAt(size_t at) {
        const size_t low = std::max(pos_, searched_);
        for (size_t i = at; i > low; --i) {
            if (text_[i - 1] == Char('\r') || text_[i - 1] == Char('\n')) return i;
        }
        // No line break in [low, at); TakeLine found none in [pos_, searched_).
        searched_ = std::max(searched_, at);
        return pos_;
    }

    void SkipLineFeedAfterCarriageReturn() {
        // Whether the CR stood alone is only known once the next character is.
        if (!afterCarriageReturn_ || pos_ == text_.size()) return;
        if (text_[pos_] == Char('\n')) ++pos_;
        afterCarriageReturn_ = false;
    }

    String text_;
    size_t pos_ = 0;                    // start of the first line not yet taken
    size_t searched_ = 0;               // text before this holds no line break after pos_
    std::wstring needle_;               // what PassLinesWithout looked for last
    size_t needleSearched_ = 0;         // no needle_ begins before this after pos_
    bool afterCarriageReturn_ = false;  // the last line taken ended with CR
};

using TLineSplitter = TBasicLineSplitter<wchar_t>;
using TByteLineSplitter = TBasicLineSplitter<char>;
