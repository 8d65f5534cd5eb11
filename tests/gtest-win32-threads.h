#pragma once
// Included before everything in the test programs. The toolchain's win32
// thread model has no std::mutex or std::condition_variable, which GoogleTest
// needs for one helper only: Notification, a one-shot signal between its
// threads. This is that helper on a Win32 event; GoogleTest's locks are Win32
// ones anyway.
#ifdef __cplusplus
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {
class Notification {
public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};
}  // namespace testing::internal
#endif
