#pragma once
// The lines of an open file, read in chunks. Shared by the line reader and by
// the save, which differ only in how they open the file, report failures and
// use the lines.
//
// A file in the ANSI code page, which is what game.dat nearly always is, is
// cut into lines as bytes (TByteLineSplitter), and a line is decoded only
// when its text is asked for: most lines of a large file hold no key, and
// the save writes them back as the bytes they were. A file with a byte order
// mark is decoded first (TTextDecoder) and cut as text (TLineSplitter). Both
// ways give the same lines.
#include <windows.h>

#include <string>
#include <string_view>

#include "settings/LineSplitter.h"
#include "settings/TextDecoder.h"

class TLineStream {
public:
    // One line, without its line break; its views are valid until the next
    // line is taken.
    struct TLine {
        bool inAnsiCodePage = false;  // `bytes` holds it; otherwise `text` does
        std::string_view bytes;
        std::wstring_view text;
    };

    TLineStream(UINT ansiCodePage, DWORD chunkSize)
        : ansiCodePage_(ansiCodePage), decoder_(ansiCodePage), chunk_(chunkSize, '\0') {}

    // True when no line is left; reads on as far as needed to tell. On a
    // failed read, `error` gets the system's code and the answer is true.
    bool AtEnd(HANDLE file, DWORD& error) {
        error = 0;
        while (!HasText()) {
            if (endOfFile_ || !ReadMore(file, error)) return true;
        }
        return false;
    }

    // Takes the next line; false when no line is left or a read failed
    // (`error` set).
    bool Take(HANDLE file, TLine& line, DWORD& error) {
        error = 0;
        while (!TakeBuffered(line)) {
            if (endOfFile_ || !ReadMore(file, error)) return false;
        }
        return true;
    }

    // The text of a line, valid until the next call.
    std::wstring_view TextOf(const TLine& line);

    // Whether the text of a line contains the plain ASCII `text`. A line of
    // bytes that does not hold its bytes cannot, and is not decoded.
    bool Contains(const TLine& line, std::wstring_view text);

    // Passes over the lines ahead whose text does not contain the plain
    // ASCII `text`, when the file is in the ANSI code page, and hands their
    // bytes to `passed(std::string_view)` in runs of whole lines with their
    // line breaks (the file's last line may have none). Stops before a line
    // that does contain it, or may: Contains tells. A file that is decoded
    // first passes nothing. False when a read failed (`error` set).
    template <class Sink>
    bool PassLinesWithout(HANDLE file, std::wstring_view text, Sink&& passed, DWORD& error) {
        error = 0;
        for (;;) {
            if (form_ == Form::Text) return true;
            if (form_ == Form::Bytes) {
                std::string_view run;
                const bool stopped = byteLines_.PassLinesWithout(text, endOfFile_, run);
                if (!run.empty()) passed(run);
                if (stopped || endOfFile_) return true;
            }
            if (!ReadMore(file, error)) return false;
        }
    }

    // Takes the next line's text into `line`, a view valid until the next call.
    bool TakeLine(HANDLE file, std::wstring_view& line, DWORD& error) {
        TLine taken;
        if (!Take(file, taken, error)) return false;
        line = TextOf(taken);
        return true;
    }

private:
    enum class Form { Unknown, Bytes, Text };

    bool HasText() {
        if (form_ == Form::Bytes) return byteLines_.HasText();
        return form_ == Form::Text && textLines_.HasText();
    }
    bool TakeBuffered(TLine& line) {
        line.inAnsiCodePage = form_ == Form::Bytes;
        if (form_ == Form::Bytes) return byteLines_.TakeLine(line.bytes, endOfFile_);
        return form_ == Form::Text && textLines_.TakeLine(line.text, endOfFile_);
    }
    bool ReadMore(HANDLE file, DWORD& error);
    void Deliver(std::string_view bytes);

    UINT ansiCodePage_;
    Form form_ = Form::Unknown;
    std::string head_;  // the first bytes, until they tell the encoding
    TTextDecoder decoder_;
    TLineSplitter textLines_;
    TByteLineSplitter byteLines_;
    std::wstring decoded_;  // the text of the last line of bytes asked for
    std::string chunk_;
    bool endOfFile_ = false;
};
