#include "app/FatalError.h"

#include <windows.h>

#include <cstdio>

#include "framework/core/Paths.h"

namespace {
// The fatal box, for the error or crash of class `className`.
[[noreturn]] void ShowFatalBox(const wchar_t* className, const std::wstring& message, const void* address) {
    MessageBoxW(nullptr, FatalErrorText(className, message, address).c_str(), L"Application Error",
                MB_TASKMODAL | MB_ICONERROR);
    ExitProcess(1);
}

// The box of a crash that Windows reports as a structured exception.
[[noreturn]] DWORD WINAPI ShowCrashBox(void* exception) noexcept {
    const DWORD code = static_cast<EXCEPTION_RECORD*>(exception)->ExceptionCode;
    const void* address = static_cast<EXCEPTION_RECORD*>(exception)->ExceptionAddress;
    if (code == EXCEPTION_STACK_OVERFLOW) ShowFatalBox(L"EStackOverflow", L"Stack overflow", address);
    const bool violation = code == EXCEPTION_ACCESS_VIOLATION;
    wchar_t text[64];
    if (violation) swprintf(text, 64, L"Access violation at address %p", address);
    else swprintf(text, 64, L"External exception %08lX", static_cast<unsigned long>(code));
    ShowFatalBox(violation ? L"EAccessViolation" : L"EExternalException", text, address);
}

// Runs on the crashed thread, which after a stack overflow has little stack left: the box gets a thread of its own.
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
    const UniqueFile thread(CreateThread(nullptr, 0, ShowCrashBox, info->ExceptionRecord, 0, nullptr));
    if (thread) WaitForSingleObject(thread.get(), INFINITE);  // its box ends the process
    ShowCrashBox(info->ExceptionRecord);  // no thread could be made
}
}  // namespace

// The C++ runtime's default terminate handler, replaced by the fatal error
// box: no error ever ends the process silently. (The runtime's own would also
// bring its name demangler into the executable.)
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    if (std::current_exception()) UseCurrentError(nullptr, ShowFatalErrorAndExit);
    ShowFatalErrorAndExit(EExternalException(L"Abnormal program termination"));
}
}  // namespace __gnu_cxx

std::wstring FatalErrorText(const wchar_t* className, const std::wstring& message, const void* address) {
    HMODULE module = nullptr;
    constexpr DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!address || !GetModuleHandleExW(flags, static_cast<LPCWSTR>(address), &module))
        module = GetModuleHandleW(nullptr);
    const std::wstring path = ModuleFileName(module);
    const auto offset = address ? static_cast<const char*>(address) - reinterpret_cast<const char*>(module) : 0;
    wchar_t hex[16];
    swprintf(hex, 16, L"%08X", static_cast<unsigned>(offset));
    return L"Exception " + std::wstring(className) + L" in module " + path.substr(FolderOf(path).size()) + L" at " +
           hex + L".\r\n" + message + (!message.empty() && message.back() != L'.' ? L"." : L"") + L"\r\n";
}

void ShowFatalErrorAndExit(const Exception& error) {
    ShowFatalBox(error.ClassName(), error.Message(), error.RaiseAddress());
}

void InstallFatalErrorHandlers() {
    SetUnhandledExceptionFilter(OnUnhandledException);
    ULONG guarantee = 32 * 1024;  // room to hand a stack overflow's box on
    SetThreadStackGuarantee(&guarantee);
    // Else a 32-bit process on 64-bit Windows loses faults in window procedures that Windows called.
    const auto get = ProcAddress<BOOL(WINAPI*)(DWORD*)>("GetProcessUserModeExceptionPolicy");
    const auto set = ProcAddress<BOOL(WINAPI*)(DWORD)>("SetProcessUserModeExceptionPolicy");
    if (DWORD policy; get && set && get(&policy)) set(policy & ~DWORD{0x1});  // PROCESS_CALLBACK_FILTER_ENABLED
}
