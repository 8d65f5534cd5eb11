// The start-up and shutdown sequence around the message loop.
#include "app/Startup.h"

#include <algorithm>
#include <cstdlib>

#include "app/FatalError.h"
#include "app/SkinLibrary.h"
#include "framework/core/Application.h"
#include "framework/core/Paths.h"
#include "framework/theme/StyleManager.h"
#include "ui/Main.h"

int RunConfigurator() {
    InstallFatalErrorHandlers();
    // A damaged heap ends the process rather than being used on.
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
    // A game folder holds many DLLs: those loaded at run time come from the system
    // folder only (without Windows 7's update for it, not from the current folder).
    const auto setDefault = ProcAddress<BOOL(WINAPI*)(DWORD)>("SetDefaultDllDirectories");
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
    try {
        TApplication application;
        // The command line as the runtime took it apart, program name first.
        std::vector<std::wstring> arguments;
        if (__wargv) arguments.assign(__wargv + std::min(__argc, 1), __wargv + __argc);
        SkinLibrary::Initialize(arguments, application.Title());
        // The start-up sequence proper; errors raised here are outside every
        // catch point and end in the fatal error box.
        application.Initialize();
        application.SetMainFormOnTaskBar(true);
        TStyleManager::TrySetStyle(L"Carbon");
        application.SetTitle(L"");
        application.CreateForm(KvgCFG);
        application.Run();
        application.DestroyForms();
        KvgCFG = nullptr;
        SkinLibrary::Finalize();
        return 0;
    } catch (...) {
        KvgCFG = nullptr;
        UseCurrentError(reinterpret_cast<const void*>(&RunConfigurator), ShowFatalErrorAndExit);
    }
    return 1;
}
