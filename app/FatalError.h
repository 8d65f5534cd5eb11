#pragma once
// The fatal error box: the last word on an error that no catch point took.
#include <string>

#include "framework/errors/Exceptions.h"

// "Exception %s in module %s at %p.\r\n%s%s\r\n", for an error of class
// `className` raised at code address `address`.
std::wstring FatalErrorText(const wchar_t* className, const std::wstring& message, const void* address);
// Shows the fatal error box and ends the process with exit code 1.
[[noreturn]] void ShowFatalErrorAndExit(const Exception& error);
// Makes crashes (access violations, stack overflows) end in the fatal error
// box too; std::terminate always does.
void InstallFatalErrorHandlers();
