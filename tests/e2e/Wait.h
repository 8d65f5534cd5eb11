#pragma once
// Polling with a deadline: everything a test waits for across processes has a
// timeout, so a broken program fails a test instead of hanging the run.
#include <windows.h>

namespace e2e {

// Generous enough for Wine starting a GUI process on a loaded two-core machine.
inline constexpr DWORD kStartTimeoutMs = 20000;
inline constexpr DWORD kExitTimeoutMs = 10000;
inline constexpr DWORD kStepTimeoutMs = 5000;
// How long a test watches for something that must not appear.
inline constexpr DWORD kQuietPeriodMs = 700;

// Polls `condition` until it holds or `timeoutMs` passes; returns its last result.
template <class Condition>
bool WaitUntil(Condition&& condition, DWORD timeoutMs, DWORD intervalMs = 10) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(intervalMs);
    }
}

}  // namespace e2e
