#pragma once
// A thread for tests, on CreateThread: the toolchain's thread model (win32,
// which keeps a thread runtime out of the executable) has no std::thread.
#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

class TestThread {
public:
    TestThread() = default;
    // The body lives on the heap, where the thread finds it however often
    // this object is moved.
    explicit TestThread(std::function<void()> body) : body_(std::make_unique<std::function<void()>>(std::move(body))) {
        handle_ = CreateThread(nullptr, 0, &Run, body_.get(), 0, nullptr);
    }
    ~TestThread() { join(); }
    TestThread(TestThread&& other) noexcept { *this = std::move(other); }
    TestThread& operator=(TestThread&& other) noexcept {
        join();
        body_ = std::move(other.body_);
        handle_ = std::exchange(other.handle_, nullptr);
        return *this;
    }

    bool joinable() const { return handle_ != nullptr; }
    void join() {
        if (!handle_) return;
        WaitForSingleObject(handle_, INFINITE);
        CloseHandle(std::exchange(handle_, nullptr));
    }

private:
    static DWORD WINAPI Run(LPVOID body) {
        (*static_cast<std::function<void()>*>(body))();
        return 0;
    }

    std::unique_ptr<std::function<void()>> body_;
    HANDLE handle_ = nullptr;
};
