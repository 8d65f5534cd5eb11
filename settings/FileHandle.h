#pragma once
// Owner of a file handle that, unlike a plain RAII wrapper, can report a
// failed CloseHandle: closing is the last step at which a write can fail.
#include <windows.h>

#include <utility>

class TFileHandle {
public:
    TFileHandle() = default;
    explicit TFileHandle(HANDLE handle) : handle_(handle) {}
    ~TFileHandle() { CloseQuietly(); }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    TFileHandle(TFileHandle&& other) noexcept : handle_(other.Release()) {}
    TFileHandle& operator=(TFileHandle&& other) noexcept {
        if (this != &other) {
            CloseQuietly();
            handle_ = other.Release();
        }
        return *this;
    }

    HANDLE Get() const { return handle_; }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    explicit operator bool() const { return IsOpen(); }
    HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

    // Closes the handle; the system's error code when that failed, else 0.
    DWORD Close() {
        if (!IsOpen()) return 0;
        return CloseHandle(Release()) ? 0 : GetLastError();
    }

    // For clean-up paths, where a first error is already on its way.
    void CloseQuietly() {
        if (IsOpen()) CloseHandle(Release());
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};
