#include "settings/LineReader.h"

#include "framework/errors/Exceptions.h"
#include "settings/AnsiCodePage.h"
#include "settings/SettingsPath.h"

namespace {
constexpr DWORD kChunkSize = 64 * 1024;
}

// Stores the code of a failed step and runs the I/O check, which raises.
// Steps that succeed skip the check: every step that stores a code checks
// it at once, so none can be pending.
void TLineReader::Fail(DWORD error) {
    const int code = error != 0 ? static_cast<int>(error) : ERROR_GEN_FAILURE;
    SetIOResult(code);
    IOCheck(path_);
    Raise(EInOutError(code, path_));  // not reached: the check raises for any code but 0
}

void TLineReader::Open(const std::wstring& path) {
    file_.CloseQuietly();
    lines_.reset();
    path_ = path;
    if (path.size() > kMaxFilePathLength) Fail(ERROR_PATH_NOT_FOUND);
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) Fail(GetLastError());
    file_ = TFileHandle(handle);
    lines_ = std::make_unique<TLineStream>(AnsiCodePage(), kChunkSize);
}

std::wstring TLineReader::ReadLine() {
    std::wstring line;
    ReadLine(line);
    return line;
}

void TLineReader::Close() {
    if (!file_) return;
    lines_.reset();
    if (const DWORD error = file_.Close()) Fail(error);
}
