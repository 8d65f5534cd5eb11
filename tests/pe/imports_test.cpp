// Every function the executable imports, on both architectures, against a
// list of functions that Windows 7 SP1 has without updates: the loader refuses
// an exe with a single missing import ("The procedure entry point ... could not
// be located"), before any of its code runs. A new import fails here until it
// has been checked and added; a function that Windows 7 lacks is looked up at
// run time instead (GetProcAddress).
//
// How the names were checked: the Win32 functions against the minimum client
// on their reference pages (Windows 2000, XP or Vista, none later); the C
// runtime's against the export history of the system's msvcrt.dll (all since
// NT 4.0, except ___lc_codepage_func, ___mb_cur_max_func and __iob_func: since
// XP, and in every 64-bit msvcrt.dll). Names that needed more than that:
//   SetThreadStackGuarantee, CompareStringOrdinal, GetFinalPathNameByHandleW,
//     GetTickCount64: Vista. SetDllDirectoryW: XP SP1.
//   GdiAlphaBlend: GDI32's own name of AlphaBlend, Windows 2000.
//   ImageList_*, InitCommonControlsEx: pages name Vista (the common controls
//     6 they document); COMCTL32 has exported them since long before.
//   64 bits: RtlCaptureContext, RtlLookupFunctionEntry, RtlUnwindEx,
//     RtlVirtualUnwind (the unwinder of the compiler's runtime): KERNEL32 of
//     every 64-bit Windows since XP x64; __C_specific_handler (the C runtime's
//     exception filter): 64-bit KERNEL32 forwards it to NTDLL, also since XP x64.
//   32 bits: GetModuleHandleA, LoadLibraryA (the compiler's frame
//     registration), and the C runtime's older names that its start-up uses there.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/pe/BuiltExe.h"
#include "tests/pe/PeFile.h"

namespace {

const std::set<std::string> kBothBuilds = {
    "COMCTL32.DLL!ImageList_AddMasked", "COMCTL32.DLL!ImageList_Create", "COMCTL32.DLL!ImageList_Destroy",
    "COMCTL32.DLL!ImageList_DrawEx", "COMCTL32.DLL!InitCommonControlsEx",
    "GDI32.DLL!BitBlt", "GDI32.DLL!CreateCompatibleBitmap", "GDI32.DLL!CreateCompatibleDC",
    "GDI32.DLL!CreateDIBSection", "GDI32.DLL!CreateFontW", "GDI32.DLL!CreatePen", "GDI32.DLL!CreateSolidBrush",
    "GDI32.DLL!DeleteDC", "GDI32.DLL!DeleteObject", "GDI32.DLL!Ellipse", "GDI32.DLL!GdiAlphaBlend",
    "GDI32.DLL!GdiFlush", "GDI32.DLL!GetStockObject", "GDI32.DLL!Polyline", "GDI32.DLL!RoundRect",
    "GDI32.DLL!SelectObject", "GDI32.DLL!SetBkColor", "GDI32.DLL!SetBkMode", "GDI32.DLL!SetStretchBltMode",
    "GDI32.DLL!SetTextColor", "GDI32.DLL!StretchDIBits",
    "KERNEL32.DLL!CloseHandle", "KERNEL32.DLL!CompareStringOrdinal", "KERNEL32.DLL!CreateFileW",
    "KERNEL32.DLL!CreateMutexW", "KERNEL32.DLL!CreateSemaphoreW", "KERNEL32.DLL!CreateThread",
    "KERNEL32.DLL!DeleteCriticalSection", "KERNEL32.DLL!DeleteFileW", "KERNEL32.DLL!EnterCriticalSection",
    "KERNEL32.DLL!EnumResourceNamesW", "KERNEL32.DLL!ExitProcess", "KERNEL32.DLL!FindClose",
    "KERNEL32.DLL!FindFirstFileW", "KERNEL32.DLL!FindNextFileW", "KERNEL32.DLL!FindResourceW",
    "KERNEL32.DLL!FlushFileBuffers", "KERNEL32.DLL!FormatMessageW", "KERNEL32.DLL!FreeLibrary",
    "KERNEL32.DLL!GetACP", "KERNEL32.DLL!GetCurrentProcess", "KERNEL32.DLL!GetCurrentProcessId",
    "KERNEL32.DLL!GetCurrentThreadId", "KERNEL32.DLL!GetFileAttributesW", "KERNEL32.DLL!GetFileInformationByHandle",
    "KERNEL32.DLL!GetFileSizeEx", "KERNEL32.DLL!GetFinalPathNameByHandleW", "KERNEL32.DLL!GetFullPathNameW",
    "KERNEL32.DLL!GetLastError", "KERNEL32.DLL!GetModuleFileNameW", "KERNEL32.DLL!GetModuleHandleExW",
    "KERNEL32.DLL!GetModuleHandleW", "KERNEL32.DLL!GetProcAddress", "KERNEL32.DLL!GetStartupInfoW",
    "KERNEL32.DLL!GetSystemDirectoryW", "KERNEL32.DLL!GetSystemTimeAsFileTime", "KERNEL32.DLL!GetTickCount64",
    "KERNEL32.DLL!GlobalLock", "KERNEL32.DLL!GlobalSize", "KERNEL32.DLL!GlobalUnlock",
    "KERNEL32.DLL!HeapSetInformation", "KERNEL32.DLL!InitializeCriticalSection", "KERNEL32.DLL!IsDBCSLeadByteEx",
    "KERNEL32.DLL!LeaveCriticalSection", "KERNEL32.DLL!LoadLibraryExW", "KERNEL32.DLL!LoadLibraryW",
    "KERNEL32.DLL!LoadResource", "KERNEL32.DLL!LockResource", "KERNEL32.DLL!MoveFileExW",
    "KERNEL32.DLL!MultiByteToWideChar", "KERNEL32.DLL!OutputDebugStringW", "KERNEL32.DLL!QueryPerformanceCounter",
    "KERNEL32.DLL!ReadFile", "KERNEL32.DLL!ReleaseMutex", "KERNEL32.DLL!ReleaseSemaphore",
    "KERNEL32.DLL!SetDllDirectoryW", "KERNEL32.DLL!SetEndOfFile", "KERNEL32.DLL!SetFileAttributesW",
    "KERNEL32.DLL!SetFilePointerEx", "KERNEL32.DLL!SetLastError", "KERNEL32.DLL!SetThreadStackGuarantee",
    "KERNEL32.DLL!SetUnhandledExceptionFilter", "KERNEL32.DLL!SizeofResource", "KERNEL32.DLL!Sleep",
    "KERNEL32.DLL!TerminateProcess", "KERNEL32.DLL!TlsAlloc", "KERNEL32.DLL!TlsFree", "KERNEL32.DLL!TlsGetValue",
    "KERNEL32.DLL!TlsSetValue", "KERNEL32.DLL!VirtualProtect", "KERNEL32.DLL!VirtualQuery",
    "KERNEL32.DLL!WaitForSingleObject", "KERNEL32.DLL!WideCharToMultiByte", "KERNEL32.DLL!WriteFile",
    "MSVCRT.DLL!__argc", "MSVCRT.DLL!__set_app_type", "MSVCRT.DLL!__setusermatherr", "MSVCRT.DLL!__wargv",
    "MSVCRT.DLL!__wgetmainargs", "MSVCRT.DLL!__winitenv", "MSVCRT.DLL!_amsg_exit", "MSVCRT.DLL!_cexit",
    "MSVCRT.DLL!_close", "MSVCRT.DLL!_errno", "MSVCRT.DLL!_initterm", "MSVCRT.DLL!_onexit", "MSVCRT.DLL!_read",
    "MSVCRT.DLL!abort", "MSVCRT.DLL!calloc", "MSVCRT.DLL!exit", "MSVCRT.DLL!fprintf", "MSVCRT.DLL!fputwc",
    "MSVCRT.DLL!free", "MSVCRT.DLL!fwprintf", "MSVCRT.DLL!fwrite", "MSVCRT.DLL!localeconv", "MSVCRT.DLL!malloc",
    "MSVCRT.DLL!memchr", "MSVCRT.DLL!memcmp", "MSVCRT.DLL!memcpy", "MSVCRT.DLL!memmove", "MSVCRT.DLL!memset",
    "MSVCRT.DLL!realloc", "MSVCRT.DLL!signal", "MSVCRT.DLL!strcmp", "MSVCRT.DLL!strerror", "MSVCRT.DLL!strlen",
    "MSVCRT.DLL!strncmp", "MSVCRT.DLL!vfprintf", "MSVCRT.DLL!wcslen",
    "USER32.DLL!AdjustWindowRectEx", "USER32.DLL!BeginPaint", "USER32.DLL!CallWindowProcW",
    "USER32.DLL!CharLowerBuffW", "USER32.DLL!CharUpperBuffW", "USER32.DLL!CloseClipboard",
    "USER32.DLL!CreateWindowExW", "USER32.DLL!DefWindowProcW", "USER32.DLL!DestroyWindow",
    "USER32.DLL!DispatchMessageW", "USER32.DLL!DrawFocusRect", "USER32.DLL!DrawFrameControl",
    "USER32.DLL!DrawTextW", "USER32.DLL!EnableWindow", "USER32.DLL!EndPaint", "USER32.DLL!EnumThreadWindows",
    "USER32.DLL!FillRect", "USER32.DLL!FrameRect", "USER32.DLL!GetActiveWindow", "USER32.DLL!GetCapture",
    "USER32.DLL!GetClassInfoExW", "USER32.DLL!GetClientRect", "USER32.DLL!GetClipboardData", "USER32.DLL!GetDC",
    "USER32.DLL!GetDlgCtrlID", "USER32.DLL!GetFocus", "USER32.DLL!GetLastActivePopup", "USER32.DLL!GetMessageW",
    "USER32.DLL!GetNextDlgTabItem", "USER32.DLL!GetSysColor", "USER32.DLL!GetSysColorBrush",
    "USER32.DLL!GetSystemMetrics", "USER32.DLL!GetWindowDC", "USER32.DLL!GetWindowRect",
    "USER32.DLL!GetWindowTextLengthW", "USER32.DLL!GetWindowTextW", "USER32.DLL!InflateRect",
    "USER32.DLL!InvalidateRect", "USER32.DLL!IsChild", "USER32.DLL!IsDialogMessageW", "USER32.DLL!IsWindow",
    "USER32.DLL!IsWindowEnabled", "USER32.DLL!IsWindowVisible", "USER32.DLL!LoadCursorW", "USER32.DLL!LoadIconW",
    "USER32.DLL!LoadImageW", "USER32.DLL!MessageBeep", "USER32.DLL!MessageBoxW", "USER32.DLL!OffsetRect",
    "USER32.DLL!OpenClipboard", "USER32.DLL!PostQuitMessage", "USER32.DLL!RedrawWindow",
    "USER32.DLL!RegisterClassExW", "USER32.DLL!ReleaseDC", "USER32.DLL!SendMessageW", "USER32.DLL!SetActiveWindow",
    "USER32.DLL!SetFocus", "USER32.DLL!SetWindowPos", "USER32.DLL!SetWindowTextW", "USER32.DLL!ShowWindow",
    "USER32.DLL!SystemParametersInfoW", "USER32.DLL!TrackMouseEvent", "USER32.DLL!TranslateMessage",
    "USER32.DLL!UpdateWindow",
};

const std::set<std::string> kI686Only = {
    "KERNEL32.DLL!GetModuleHandleA", "KERNEL32.DLL!LoadLibraryA",
    "MSVCRT.DLL!__mb_cur_max", "MSVCRT.DLL!__p__commode", "MSVCRT.DLL!__p__fmode", "MSVCRT.DLL!__p__wcmdln",
    "MSVCRT.DLL!_iob", "MSVCRT.DLL!atoi", "MSVCRT.DLL!setlocale", "MSVCRT.DLL!strchr",
    "USER32.DLL!GetWindowLongW", "USER32.DLL!SetWindowLongW",
};

const std::set<std::string> kX64Only = {
    "KERNEL32.DLL!RaiseException", "KERNEL32.DLL!RtlCaptureContext", "KERNEL32.DLL!RtlLookupFunctionEntry",
    "KERNEL32.DLL!RtlUnwindEx", "KERNEL32.DLL!RtlVirtualUnwind", "KERNEL32.DLL!__C_specific_handler",
    "MSVCRT.DLL!___lc_codepage_func", "MSVCRT.DLL!___mb_cur_max_func", "MSVCRT.DLL!__iob_func",
    "MSVCRT.DLL!_commode", "MSVCRT.DLL!_fmode", "MSVCRT.DLL!_wcmdln",
    "USER32.DLL!GetWindowLongPtrW", "USER32.DLL!SetWindowLongPtrW",
};

class PeImports : public EachBuild {};
KV_INSTANTIATE_FOR_BOTH_BUILDS(PeImports);

}  // namespace

TEST_P(PeImports, AreExactlyTheFunctionsCheckedAgainstWindows7) {
    const std::vector<std::string> imported = PeFile(Exe()).ImportedFunctions();
    ASSERT_FALSE(imported.empty()) << "import directory not read";
    const std::set<std::string> actual(imported.begin(), imported.end());
    std::set<std::string> expected = kBothBuilds;
    const auto& own = GetParam().machine == 0x14C ? kI686Only : kX64Only;
    expected.insert(own.begin(), own.end());
    for (const std::string& name : actual)
        EXPECT_TRUE(expected.count(name)) << name << " is a new import: add it to the list once Windows 7 SP1 is known "
                                                     "to have it without updates, else look it up at run time";
    for (const std::string& name : expected)
        EXPECT_TRUE(actual.count(name)) << name << " is no longer imported: take it off the list";
}
