// The runtime of the compiler's stack and buffer checks (-fstack-protector,
// _FORTIFY_SOURCE), in place of the compiler's own: that one seeds the stack
// canary from the system's cryptographic provider, which loads a whole crypto
// stack into the process before the window can appear. The canary is seeded
// the way Windows' own compilers seed theirs, from the time, the process and
// thread, the performance counter and the (randomised) address of the stack.
#include <windows.h>

#include <cstdint>

extern "C" {
uintptr_t __stack_chk_guard = static_cast<uintptr_t>(0x2B992DDFA23249D6ull);

// A check failed: the stack or a buffer was overrun. Nothing more may run.
[[noreturn]] void __stack_chk_fail() {
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_unreachable();
}
[[noreturn]] void __stack_chk_fail_local() { __stack_chk_fail(); }
[[noreturn]] void __chk_fail() { __stack_chk_fail(); }
}

namespace {
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
    FILETIME time;
    GetSystemTimeAsFileTime(&time);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    uint64_t seed = (static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime) ^
                    static_cast<uint64_t>(counter.QuadPart) << 16 ^ GetCurrentProcessId() ^
                    static_cast<uint64_t>(GetCurrentThreadId()) << 40 ^ reinterpret_cast<uintptr_t>(&time);
    seed ^= seed >> 33, seed *= 0xFF51AFD7ED558CCDull, seed ^= seed >> 33;  // spread every bit
    __stack_chk_guard ^= static_cast<uintptr_t>(seed);
}
}  // namespace
