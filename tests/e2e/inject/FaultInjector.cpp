// Linked only into the configurator that the crash tests start, never into
// the release: hooks the main window so that a test can make its window
// procedure fault, with the message of FaultInjector.h.
#include <windows.h>

#include <cwchar>

#include "tests/e2e/inject/FaultInjector.h"
#include "ui/ControlIds.h"

namespace {
WNDPROC gFormProc = nullptr;
const UINT gFaultMessage = RegisterWindowMessageW(kFaultMessageName);

// Recurses in 1 KB frames until fewer than `room` bytes are left above the
// stack's guard page, then touches that page: a stack overflow with `room`
// bytes left for its handling. Wine commits a thread's whole stack and keeps
// its one guard page at the bottom, above a page without access. Where the
// touch raises nothing, the recursion runs on to the end of the stack.
__attribute__((noinline)) int Overflow(volatile char* previous, volatile char* guardPage, size_t room) {
    volatile char frame[1024];
    frame[0] = previous[0];
    if (frame < guardPage) return frame[0];  // not reached: the stack ends above it
    if (static_cast<size_t>(frame - guardPage) < room) frame[1] = *guardPage, room = 0;
    return Overflow(frame, guardPage, room) + frame[1];
}

int OverflowTheStack(size_t room) {
    volatile char first[2] = {};
    MEMORY_BASIC_INFORMATION stack{};
    VirtualQuery(const_cast<char*>(first), &stack, sizeof stack);
    return Overflow(first, static_cast<char*>(stack.AllocationBase) + 4096, room);
}

LRESULT CALLBACK FaultingProc(HWND window, UINT message, WPARAM kind, LPARAM argument) {
    if (message != gFaultMessage) return CallWindowProcW(gFormProc, window, message, kind, argument);
    if (kind == kAccessViolation) *reinterpret_cast<volatile int*>(argument) = 0;
    return kind == kStackOverflow ? OverflowTheStack(static_cast<size_t>(argument)) : 0;
}

// The form's procedure is its class's and never replaced: put ours in front while it is created.
LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    wchar_t name[32];
    if (code == HCBT_CREATEWND && GetClassNameW(window, name, 32) && wcscmp(name, kMainWindowClass) == 0)
        gFormProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FaultingProc)));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const HHOOK gHook = SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
}  // namespace
