#pragma once
// Reads game.dat line by line for loading. Other processes may read the file
// meanwhile, but not write it. Lines are cut and decoded as TLineStream
// describes; a line has no length limit.
//
// A step that fails stores the system's error code in the per-thread I/O
// result code and runs the I/O check, which raises EInOutError with it (3 for
// a path longer than kMaxFilePathLength).
//
// AtEnd and ReadLine run once for every line, so they are defined here, where
// the caller's loop can take them in.
#include <memory>
#include <string>
#include <string_view>

#include "settings/FileHandle.h"
#include "settings/LineStream.h"

class TLineReader {
public:
    TLineReader() = default;
    ~TLineReader() = default;  // closes quietly
    TLineReader(const TLineReader&) = delete;
    TLineReader& operator=(const TLineReader&) = delete;

    // Opens an existing file.
    void Open(const std::wstring& path);
    // True when no line is left. Consumes nothing.
    bool AtEnd() {
        if (!file_) return true;
        DWORD error = 0;
        const bool atEnd = lines_->AtEnd(file_.Get(), error);
        if (error != 0) Fail(error);
        return atEnd;
    }
    // The next line without its line break; empty when none is left.
    std::wstring ReadLine();
    // The same into `line`, whose memory is used again: reading many lines
    // then costs no allocation a line.
    void ReadLine(std::wstring& line) {
        std::wstring_view taken;
        line.clear();
        if (!file_) return;
        DWORD error = 0;
        if (lines_->TakeLine(file_.Get(), taken, error)) line.assign(taken);
        if (error != 0) Fail(error);
    }
    // Reads on to the next line whose text contains the plain ASCII `text`
    // and puts it into `line`; false, with `line` empty, when none is left.
    // The lines passed over cost no decoding when the file is in the ANSI
    // code page.
    bool ReadLineWith(std::wstring_view text, std::wstring& line) {
        line.clear();
        if (!file_) return false;
        TLineStream::TLine taken;
        DWORD error = 0;
        const auto ignore = [](std::string_view) {};
        while (lines_->PassLinesWithout(file_.Get(), text, ignore, error) &&
               lines_->Take(file_.Get(), taken, error)) {
            if (!lines_->Contains(taken, text)) continue;
            line.assign(lines_->TextOf(taken));
            return true;
        }
        if (error != 0) Fail(error);
        return false;
    }
    void Close();
    bool IsOpen() const { return file_.IsOpen(); }

private:
    [[noreturn]] void Fail(DWORD error);

    std::wstring path_;
    TFileHandle file_;
    std::unique_ptr<TLineStream> lines_;
};
