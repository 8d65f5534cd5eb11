#pragma once
// Writes game.dat line by line for saving: each line in the ANSI code page
// followed by CR LF, no byte order mark. The file is replaced atomically
// (TReplacementFile): until Close has succeeded it keeps its old content, and
// afterwards it holds exactly the lines written.
//
// While the writer is open it holds the file open for writing, so others may
// read it but not write it, and a file that is in use or may not be written
// is reported by Open, before anything has been written.
//
// A step that fails stores the system's error code in the per-thread I/O
// result code and runs the I/O check, raising EInOutError with it (5 no
// access or read-only, 32 in use, 112 disk full; 3 for a path longer than
// kMaxFilePathLength). After a failure, or when the writer is destroyed
// without Close, the temporary file is removed and the old file stays.
#include <memory>
#include <string>
#include <string_view>

#include "settings/FileHandle.h"
#include "settings/ReplacementFile.h"

class TLineWriter {
public:
    TLineWriter() = default;
    ~TLineWriter() { Abandon(); }
    TLineWriter(const TLineWriter&) = delete;
    TLineWriter& operator=(const TLineWriter&) = delete;

    // Starts replacing the file; a missing file is created by Close.
    void Open(const std::wstring& path);
    // Adds one line. Lines are written in blocks, so a failed write can be
    // reported by a later line or by Close.
    void WriteLine(std::wstring_view text);
    // Adds one line given as its bytes in the ANSI code page, as they are.
    void WriteEncodedLine(std::string_view bytes);
    // Adds lines given as their bytes in the ANSI code page, each with its
    // line break (CR LF, LF or a lone CR; the last may have none), and ends
    // each with CR LF.
    void WriteEncodedLines(std::string_view bytes);
    // Writes what is pending, puts it on the disk and then in place of the file.
    void Close();
    bool IsOpen() const { return replacement_ != nullptr; }

private:
    DWORD OpenTarget();
    void EncodePendingText();
    void WritePending();
    [[noreturn]] void Fail(DWORD error);
    void Abandon();

    std::wstring path_;
    TFileHandle target_;  // held while writing: keeps other writers out
    std::unique_ptr<TReplacementFile> replacement_;
    UINT codePage_ = 0;
    std::wstring pendingText_;  // lines that need the platform's conversion
    std::string pendingBytes_;  // encoded lines not yet written
};
