#include "settings/LineWriter.h"

#include "framework/errors/Exceptions.h"
#include "settings/AnsiCodePage.h"
#include "settings/CodePageText.h"
#include "settings/SettingsPath.h"
#include "settings/TextScan.h"

namespace {
// Lines that need the platform's conversion are gathered and converted in
// batches of about this many characters.
constexpr size_t kTextBatch = 32 * 1024;
// Encoded lines are written in blocks of about this many bytes.
constexpr size_t kWriteBlock = 256 * 1024;

// Attributes the new file takes over from the one it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Appends the line and CR LF to `out` if it is plain ASCII, which encodes
// the same in every code page; false, with `out` unchanged, if it is not.
bool AppendAsciiLine(std::wstring_view text, std::string& out) {
    const size_t start = out.size();
    out.resize(start + text.size() + 2);
    char* target = out.data() + start;
    if (!NarrowAscii(text.data(), text.size(), target)) {
        out.resize(start);
        return false;
    }
    target[text.size()] = '\r';
    target[text.size() + 1] = '\n';
    return true;
}
}  // namespace

void TLineWriter::Open(const std::wstring& path) {
    Abandon();
    path_ = path;
    codePage_ = AnsiCodePage();
    if (path.size() > kMaxFilePathLength) Fail(ERROR_PATH_NOT_FOUND);
    const DWORD attributes = OpenTarget();
    replacement_ = std::make_unique<TReplacementFile>(path);
    if (const DWORD error = replacement_->Create(attributes)) Fail(error);
    pendingBytes_.reserve(kWriteBlock + kTextBatch * 4);
}

// Opens the existing file for writing without changing it, as a plain
// rewrite would, so that "in use" and "access denied" surface now. A missing
// file is no failure: the move at Close creates it. Returns the attributes
// the new file takes over.
DWORD TLineWriter::OpenTarget() {
    // Reading the attributes is not part of GENERIC_WRITE; sharing ignores it.
    HANDLE handle = CreateFileW(path_.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return 0;
        Fail(error);
    }
    target_ = TFileHandle(handle);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) Fail(GetLastError());
    // Windows refuses to open a read-only file for writing; Wine lets root do
    // it. Refuse it here the same way everywhere.
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) Fail(ERROR_ACCESS_DENIED);
    return info.dwFileAttributes & kKeptAttributes;
}

void TLineWriter::WriteLine(std::wstring_view text) {
    if (!replacement_) Fail(ERROR_INVALID_HANDLE);
    // Plain ASCII lines are encoded on the spot, unless lines that need the
    // platform are waiting before them.
    if (!pendingText_.empty() || !AppendAsciiLine(text, pendingBytes_)) {
        pendingText_.append(text);
        pendingText_ += L"\r\n";
        if (pendingText_.size() >= kTextBatch) EncodePendingText();
    }
    if (pendingBytes_.size() >= kWriteBlock) WritePending();
}

void TLineWriter::WriteEncodedLine(std::string_view bytes) {
    if (!replacement_) Fail(ERROR_INVALID_HANDLE);
    if (!pendingText_.empty()) EncodePendingText();  // it comes first
    pendingBytes_.append(bytes);
    pendingBytes_ += "\r\n";
    if (pendingBytes_.size() >= kWriteBlock) WritePending();
}

void TLineWriter::WriteEncodedLines(std::string_view bytes) {
    if (!replacement_) Fail(ERROR_INVALID_HANDLE);
    if (!pendingText_.empty()) EncodePendingText();  // it comes first
    if (HasOnlyCrLfBreaks(bytes)) {
        // Nearly always: the lines go as one block.
        pendingBytes_.append(bytes);
        if (!bytes.empty() && bytes.back() != '\n') pendingBytes_ += "\r\n";
    } else {
        for (size_t pos = 0; pos < bytes.size();) {
            const size_t end = FindLineBreak(bytes.data(), pos, bytes.size());
            pendingBytes_.append(bytes.substr(pos, end - pos));
            pendingBytes_ += "\r\n";
            pos = end + 1;
            if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ++pos;
        }
    }
    if (pendingBytes_.size() >= kWriteBlock) WritePending();
}

void TLineWriter::EncodePendingText() {
    AppendEncoded(pendingText_, codePage_, pendingBytes_);
    pendingText_.clear();
}

void TLineWriter::WritePending() {
    if (const DWORD error = replacement_->Write(pendingBytes_)) Fail(error);
    pendingBytes_.clear();
}

void TLineWriter::Close() {
    if (!replacement_) return;
    EncodePendingText();
    WritePending();
    if (const DWORD error = replacement_->FlushAndClose()) Fail(error);
    // Our own handle on the file would stop it from being replaced.
    target_.CloseQuietly();
    if (const DWORD error = replacement_->MoveIntoPlace(true)) Fail(error);
    Abandon();  // only resets: the temporary file is in place now
}

// Gives up the save, removing the temporary file, and raises the failure's
// code through the I/O check. Steps that succeed skip the check: every step
// that stores a code checks it at once, so none can be pending.
void TLineWriter::Fail(DWORD error) {
    const int code = error != 0 ? static_cast<int>(error) : ERROR_GEN_FAILURE;
    SetIOResult(code);
    Abandon();
    IOCheck(path_);
    Raise(EInOutError(code, path_));  // not reached: the check raises for any code but 0
}

void TLineWriter::Abandon() {
    replacement_.reset();  // removes the temporary file if it is still there
    target_.CloseQuietly();
    pendingText_.clear();
    pendingBytes_.clear();
}
