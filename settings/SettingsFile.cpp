#include "settings/SettingsFile.h"

#include <algorithm>
#include <utility>

#include "framework/core/Files.h"
#include "framework/core/Handles.h"
#include "framework/core/Paths.h"
#include "framework/errors/Exceptions.h"

namespace {
// Longer paths fail with I/O result code 3 before the file is touched.
constexpr size_t kMaxFilePathLength = MAX_PATH - 1;
constexpr wchar_t kTemporarySuffix[] = L".saving";
constexpr long kMostTemporaryNames = 100;
// Virus scanners and indexers hold files for moments.
constexpr ULONGLONG kReplaceRetryMilliseconds = 1000;
// Past any save's length: a start that waits longer leaves clearing up to a later one.
constexpr DWORD kCleanUpWaitMilliseconds = 10000;
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// A save's small pieces reach the file in blocks of about this size: fewer writes.
constexpr size_t kWriteBlock = 256 * 1024;

using UniqueSearch = UniqueHandle<HANDLE, FindClose>;

[[noreturn]] void RaiseInOutError(DWORD error, const std::wstring& path) {
    Raise(EInOutError(error != 0 ? static_cast<int>(error) : ERROR_GEN_FAILURE, path));
}

UniqueFile OpenExisting(const std::wstring& path, DWORD access, DWORD share) {
    return Owned(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

void RemoveFile(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only leftover
    DeleteFileW(path.c_str());
}

std::wstring TemporaryName(const std::wstring& file, long number) {
    return file + kTemporarySuffix + (number == 0 ? L"" : L"." + std::to_wstring(number));
}

// How Windows answers a replace of a file that someone holds open.
bool IsRefusal(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// A new file beside `target` that is moved into its place, or removed.
class TTemporaryFile {
public:
    explicit TTemporaryFile(std::wstring target) : target_(std::move(target)) {}
    ~TTemporaryFile() { Remove(); }

    // For this process alone, under the first temporary name nothing bears.
    DWORD Create(DWORD attributes) {
        for (long number = 0; number < kMostTemporaryNames; ++number) {
            const std::wstring name = TemporaryName(target_, number);
            file_ = Owned(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
            if (file_) {
                path_ = name;
                return 0;
            }
            const DWORD error = GetLastError();
            if (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES) return error;
        }
        return ERROR_FILE_EXISTS;
    }

    // Keeps the first failure for Finish.
    void Append(std::string_view bytes) {
        if (block_.size() + bytes.size() > kWriteBlock) {
            Write(block_);
            block_.clear();  // keeps its memory: fresh memory for every block would cost more than the copy
        }
        if (bytes.size() > kWriteBlock) Write(bytes);
        else block_ += bytes;
    }

    // Puts the content on the disk and closes the file.
    DWORD Finish() {
        Write(block_);
        if (error_ == 0 && !FlushFileBuffers(file_.get())) error_ = GetLastError();
        if (error_ == 0 && !CloseHandle(file_.release())) error_ = GetLastError();
        return error_;
    }

    // Over the target when `replace`, else only where nothing is. Wine would
    // replace a read-only target, Windows not; one in use is tried again.
    DWORD MoveIntoPlace(bool replace) {
        const ULONGLONG start = GetTickCount64();
        for (DWORD pause = 1;; pause = std::min<DWORD>(2 * pause, 50)) {
            const DWORD attributes = GetFileAttributesW(target_.c_str());
            if (replace && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
                return ERROR_ACCESS_DENIED;
            const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
            if (MoveFileExW(path_.c_str(), target_.c_str(), flags)) {
                path_.clear();
                return 0;
            }
            const DWORD error = GetLastError();
            if (!IsRefusal(error) || GetTickCount64() - start >= kReplaceRetryMilliseconds) return error;
            Sleep(pause);
        }
    }

    void Remove() {
        file_.reset();
        if (!path_.empty()) RemoveFile(std::exchange(path_, {}));
    }

private:
    void Write(std::string_view bytes) {
        if (error_ == 0) error_ = WriteAt(file_.get(), written_, bytes);
        written_ += bytes.size();
    }

    std::wstring target_, path_;  // path_ is empty while there is no file
    UniqueFile file_;
    std::string block_;
    ULONGLONG written_ = 0;
    DWORD error_ = 0;
};
}  // namespace

TLoadedValues LoadSettingsFile(const std::wstring& path) {
    if (path.size() > kMaxFilePathLength) RaiseInOutError(ERROR_PATH_NOT_FOUND, path);
    const UniqueFile file = OpenExisting(path, GENERIC_READ, FILE_SHARE_READ);
    std::string bytes;
    if (const DWORD error = file ? ReadWhole(file.get(), bytes) : GetLastError()) RaiseInOutError(error, path);
    return LoadedValues(bytes, GetACP());
}

void CreateSettingsFile(const std::wstring& path, std::string_view bytes) {
    const std::wstring file = LongPathForm(path);
    const UniqueFileTurn turn = TakeFileTurn(file, INFINITE);
    TTemporaryFile created(file);
    if (const DWORD error = created.Create(FILE_ATTRIBUTE_NORMAL)) Raise(EFCreateError(path, error));
    created.Append(bytes);
    if (created.Finish() != 0) Raise(EWriteError());
    if (const DWORD error = created.MoveIntoPlace(false)) Raise(EFCreateError(path, error));
}

void SaveSettingsFile(const std::wstring& path, const TWindowValues& values) {
    const std::wstring file = FinalPath(path);  // where game.dat is a link, the file it points to
    const UniqueFileTurn turn = TakeFileTurn(file, INFINITE);
    // Opened first as reading all lines would open it, for its error (a
    // handle that failed to open needs no closing: the code stays).
    if (!OpenExisting(path, GENERIC_READ, FILE_SHARE_READ)) Raise(EFOpenError(path, GetLastError()));
    if (path.size() > kMaxFilePathLength) RaiseInOutError(ERROR_PATH_NOT_FOUND, path);
    // Held as a rewrite in place would hold it, until it is replaced: others
    // may read, not write, and what keeps it from being written shows now.
    UniqueFile target = OpenExisting(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!target || !GetFileInformationByHandle(target.get(), &info)) RaiseInOutError(GetLastError(), path);
    // Windows refuses to open a read-only file for writing; Wine lets root.
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) RaiseInOutError(ERROR_ACCESS_DENIED, path);
    std::string old;
    if (ReadWhole(target.get(), old) != 0) Raise(EReadError());
    const auto rewriteInPlace = [&] {
        std::string bytes;
        WriteSavedBytes(old, GetACP(), values, [&](std::string_view piece) { bytes += piece; });
        if (const DWORD failure = RewriteInPlace(target.get(), bytes)) RaiseInOutError(failure, path);
    };
    TTemporaryFile replacement(file);
    DWORD error = replacement.Create(info.dwFileAttributes & kKeptAttributes);
    // A folder where only game.dat may be written: it is written in place.
    if (error == ERROR_ACCESS_DENIED) return rewriteInPlace();
    if (error == 0) {
        WriteSavedBytes(old, GetACP(), values, [&](std::string_view piece) { replacement.Append(piece); });
        error = replacement.Finish();
    }
    if (error) RaiseInOutError(error, path);
    target.reset();  // a file held open cannot be replaced
    error = replacement.MoveIntoPlace(true);
    if (error == 0) return;
    // Another program keeps game.dat open (a viewer, a scanner, the game):
    // no replace can go, a plain rewrite can, where that program lets others
    // write. Removing the temporary file first frees the room it needs.
    if (!IsRefusal(error) || !IsOpenElsewhere(file)) RaiseInOutError(error, path);
    replacement.Remove();
    target = OpenExisting(path, GENERIC_WRITE, FILE_SHARE_READ);
    if (!target) RaiseInOutError(GetLastError(), path);
    rewriteInPlace();
}

void CleanUpInterruptedSave(const std::wstring& path) {
    const std::wstring target = FinalPath(path);
    // Another copy's save may be under way: its temporary file is no leftover.
    const UniqueFileTurn turn = TakeFileTurn(target, kCleanUpWaitMilliseconds);
    if (!turn) return;
    const std::wstring folder = FolderOf(target), name = target.substr(folder.size());
    // One listing, not a look-up of every name: under Wine, looking up a name
    // that is not there reads the whole folder, and a game's folder is large.
    WIN32_FIND_DATAW found;
    const auto search = Owned<UniqueSearch>(FindFirstFileW((target + kTemporarySuffix + L"*").c_str(), &found));
    for (bool more = static_cast<bool>(search); more; more = FindNextFileW(search.get(), &found)) {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        for (long number = 0; number < kMostTemporaryNames; ++number)
            if (found.cFileName == TemporaryName(name, number)) RemoveFile(folder + found.cFileName);
    }
}
