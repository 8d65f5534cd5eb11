// The process entry: the library start-up, then the program's own start-up
// sequence, the message loop and the shutdown.
#include <windows.h>

#include "app/Startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return RunConfigurator(); }
