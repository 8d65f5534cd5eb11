#pragma once
// The code page game.dat is read and written in when it carries no byte order
// mark: the process's ANSI code page, taken once at first use.
#include <windows.h>

UINT AnsiCodePage();

// Makes AnsiCodePage() answer `codePage` from now on, so that tests can run
// the readers and writers in any code page; 0 goes back to the system's.
void SetAnsiCodePageForTesting(UINT codePage);
