#pragma once
// The request a crash test sends to the configurator built with the fault
// injector: the registered message of this name, with the kind of fault in wParam.
#include <windows.h>

inline constexpr wchar_t kFaultMessageName[] = L"KorvaneCFG.TestFault";
inline constexpr WPARAM kAccessViolation = 1;  // lParam: the address written to
inline constexpr WPARAM kStackOverflow = 2;    // lParam: the bytes of stack left for the handler
