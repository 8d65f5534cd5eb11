#pragma once
// The lines of an open file, read in chunks and decoded in batches of whole
// lines (TTextDecoder, TLineSplitter). Shared by the line reader and by the
// save, which differ only in how they open the file and report failures.
#include <windows.h>

#include <string>
#include <string_view>

#include "settings/LineSplitter.h"
#include "settings/TextDecoder.h"

class TLineStream {
public:
    TLineStream(UINT ansiCodePage, DWORD chunkSize)
        : decoder_(ansiCodePage), chunk_(chunkSize, '\0') {}

    // True when no line is left; reads on as far as needed to tell. On a
    // failed read, `error` gets the system's code and the answer is true.
    bool AtEnd(HANDLE file, DWORD& error) {
        error = 0;
        while (!lines_.HasText()) {
            if (endOfFile_ || !ReadMore(file, error)) return true;
        }
        return false;
    }

    // Takes the next line into `line`, a view valid until the next call;
    // false when no line is left or a read failed (`error` set).
    bool TakeLine(HANDLE file, std::wstring_view& line, DWORD& error) {
        error = 0;
        while (!lines_.TakeLine(line, endOfFile_)) {
            if (endOfFile_ || !ReadMore(file, error)) return false;
        }
        return true;
    }

private:
    bool ReadMore(HANDLE file, DWORD& error);

    TTextDecoder decoder_;
    TLineSplitter lines_;
    std::string chunk_;
    bool endOfFile_ = false;
};
