#include "app/Startup.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/SkinLibrary.h"
#include "framework/core/Application.h"
#include "framework/core/ModulePath.h"
#include "framework/theme/StyleManager.h"
#include "ui/Main.h"

std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(argv[i]);
    if (argv) LocalFree(argv);
    return arguments;
}

namespace {
void InitializeCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

// The start-up sequence proper; errors raised here are outside every catch
// point and end in the fatal error box.
int StartAndRun(TApplication& application) {
    application.Initialize();
    application.SetMainFormOnTaskBar(true);
    TStyleManager::TrySetStyle(L"Carbon");
    application.SetTitle(L"");
    application.CreateForm(KvgCFG);
    application.Run();
    return 0;
}
}  // namespace

int RunConfigurator() {
    InstallFatalErrorHandlers();
    try {
        InitializeCommonControls();
        TApplication application;
        SkinLibrary::Initialize(CommandLineArguments(), application.Title());
        const int exitCode = StartAndRun(application);
        application.DestroyForms();
        KvgCFG = nullptr;
        SkinLibrary::Finalize();
        return exitCode;
    } catch (...) {
        KvgCFG = nullptr;
        FatalErrorFromCurrentException(reinterpret_cast<const void*>(&RunConfigurator));
    }
}
