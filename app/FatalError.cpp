#include "app/FatalError.h"

#include <windows.h>

#include <cstdio>

#include "framework/core/Paths.h"

namespace {
// A crash that Windows reports as a structured exception, under the class
// name the fatal box shows for it.
class TStructuredException : public Exception {
public:
    TStructuredException(const wchar_t* className, std::wstring message, const void* address)
        : Exception(std::move(message)), className_(className) {
        SetRaiseAddress(address);
    }
    const wchar_t* ClassName() const override { return className_; }

private:
    const wchar_t* className_;
};

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    const void* address = info->ExceptionRecord->ExceptionAddress;
    wchar_t text[64];
    if (code == EXCEPTION_ACCESS_VIOLATION) {
        swprintf(text, 64, L"Access violation at address %p", address);
        ShowFatalErrorAndExit(TStructuredException(L"EAccessViolation", text, address));
    }
    if (code == EXCEPTION_STACK_OVERFLOW) ShowFatalErrorAndExit(TStructuredException(L"EStackOverflow", L"Stack overflow", address));
    swprintf(text, 64, L"External exception %08lX", static_cast<unsigned long>(code));
    ShowFatalErrorAndExit(TStructuredException(L"EExternalException", text, address));
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

std::wstring FatalErrorText(const Exception& error) {
    HMODULE module = nullptr;
    const void* address = error.RaiseAddress();
    if (!address || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                        static_cast<LPCWSTR>(address), &module))
        module = GetModuleHandleW(nullptr);
    const std::wstring path = ModuleFileName(module);
    const auto offset = address ? static_cast<const char*>(address) - reinterpret_cast<const char*>(module) : 0;
    wchar_t hex[16];
    swprintf(hex, 16, L"%08X", static_cast<unsigned>(offset));
    const std::wstring& message = error.Message();
    const bool needsPeriod = !message.empty() && message.back() != L'.';
    return L"Exception " + std::wstring(error.ClassName()) + L" in module " + path.substr(FolderOf(path).size()) +
           L" at " + hex + L".\r\n" + message + (needsPeriod ? L"." : L"") + L"\r\n";
}

void ShowFatalErrorAndExit(const Exception& error) {
    MessageBoxW(nullptr, FatalErrorText(error).c_str(), L"Application Error", MB_TASKMODAL | MB_ICONERROR);
    ExitProcess(1);
}

void InstallFatalErrorHandlers() { SetUnhandledExceptionFilter(OnUnhandledException); }
