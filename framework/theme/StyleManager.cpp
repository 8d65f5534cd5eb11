#include "framework/theme/StyleManager.h"

#include <commctrl.h>

#include <exception>
#include <memory>
#include <optional>

#include "framework/core/Handles.h"

namespace {

struct TManagerState {
    std::vector<std::unique_ptr<TCustomStyle>> registered;
    const TCustomStyle* active = nullptr;
    bool discovered = false;
    HMODULE module = nullptr;
    std::optional<std::vector<TStyleResource>> fixedResources;

    void Forget() {
        registered.clear();
        active = nullptr;
        discovered = false;
    }
};

TManagerState& State() {
    static TManagerState state;
    return state;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring JoinNames(const std::vector<std::wstring>& names) {
    std::wstring joined;
    for (const std::wstring& name : names) joined += (joined.empty() ? L"" : L",") + name;
    return joined;
}

// --- Discovery ------------------------------------------------------------------

std::wstring ResourceNameText(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name));
    return name;
}

std::vector<uint8_t> ResourceBytes(HMODULE module, LPCWSTR name) {
    HRSRC info = FindResourceW(module, name, TStyleManager::ResourceType);
    HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
    const auto* data = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!data) return {};  // an empty style fails validation like any damaged one
    return std::vector<uint8_t>(data, data + SizeofResource(module, info));
}

struct TEnumContext {
    std::vector<TStyleResource> found;
    std::exception_ptr error;
};

BOOL CALLBACK CollectStyleResource(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR param) {
    auto* context = reinterpret_cast<TEnumContext*>(param);
    try {
        context->found.push_back({ResourceNameText(name), ResourceBytes(module, name)});
        return TRUE;
    } catch (...) {
        context->error = std::current_exception();
        return FALSE;
    }
}

void Discover() {
    TManagerState& state = State();
    std::vector<TStyleResource> resources =
        state.fixedResources ? *state.fixedResources
                             : TStyleManager::EnumStyleResources(
                                   state.module ? state.module : GetModuleHandleW(nullptr));
    // Marked first: a failure is reported once, and what did load stays usable.
    state.discovered = true;
    TStyleManager::RegisterStyles(resources);
}

// --- Activation -----------------------------------------------------------------

BOOL CALLBACK RepaintWindow(HWND window, LPARAM) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

void Activate(const TCustomStyle* style) {
    TManagerState& state = State();
    if (state.active == style) return;
    state.active = style;
    // Windows that exist already take on the new look.
    EnumThreadWindows(GetCurrentThreadId(), RepaintWindow, 0);
}

// --- The style-not-found box ------------------------------------------------------

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// comctl32 offers task dialogs from version 6 on only; looked up at run time so
// that the program still starts where version 6 is not active.
bool ShowTaskDialog(HWND owner, const std::wstring& text) {
    // Through the activation context of the manifest this is version 6.
    const UniqueModule comctl(LoadLibraryW(L"comctl32.dll"));
    if (!comctl) return false;
    const auto show = reinterpret_cast<TaskDialogIndirectFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(comctl.get(), "TaskDialogIndirect")));
    if (!show) return false;

    const TASKDIALOG_BUTTON closeButton = {TStyleManager::CloseButtonId, L"&Close"};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    config.pszWindowTitle = L"Error";
    config.pszMainIcon = TD_ERROR_ICON;
    config.pszContent = text.c_str();
    config.cButtons = 1;
    config.pButtons = &closeButton;
    config.nDefaultButton = TStyleManager::CloseButtonId;
    int pressed = 0;
    return SUCCEEDED(show(&config, &pressed, nullptr, nullptr));
}

void ShowStyleNotFound(const std::wstring& name) {
    const std::wstring text = L"Style '" + name + L"' not found";
    HWND owner = GetActiveWindow();
    if (!ShowTaskDialog(owner, text)) MessageBoxW(owner, text.c_str(), L"Error", MB_OK | MB_ICONERROR);
}

bool HighContrastOn() {
    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof highContrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
           (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

bool TStyleManager::TrySetStyle(const std::wstring& name, bool showErrors) {
    if (!State().discovered) Discover();
    const TCustomStyle* style = FindStyle(name);
    if (!style) {
        if (showErrors) ShowStyleNotFound(name);
        return false;
    }
    Activate(style);
    return true;
}

const TCustomStyle* TStyleManager::ActiveStyle() { return State().active; }

bool TStyleManager::IsStyleEnabled() { return State().active != nullptr && !HighContrastOn(); }

const TCustomStyle* TStyleManager::FindStyle(const std::wstring& name) {
    for (const auto& style : State().registered)
        if (SameName(style->Name(), name)) return style.get();
    return nullptr;
}

std::vector<std::wstring> TStyleManager::StyleNames() {
    std::vector<std::wstring> names;
    for (const auto& style : State().registered) names.push_back(style->Name());
    return names;
}

void TStyleManager::SetResourceModule(HMODULE module) {
    TManagerState& state = State();
    state.Forget();
    state.module = module;
    state.fixedResources.reset();
}

void TStyleManager::SetResources(std::vector<TStyleResource> resources) {
    TManagerState& state = State();
    state.Forget();
    state.fixedResources = std::move(resources);
}

void TStyleManager::RegisterStyles(const std::vector<TStyleResource>& resources) {
    std::vector<std::wstring> failed;
    for (const TStyleResource& resource : resources) {
        try {
            auto style = std::make_unique<TCustomStyle>(
                TCustomStyle::Load(resource.Bytes.data(), resource.Bytes.size()));
            if (FindStyle(style->Name()))
                Raise(EStyleFormatError(L"A style named '" + style->Name() +
                                        L"' is registered already"));
            State().registered.push_back(std::move(style));
        } catch (const Exception& e) {
            // The error text names the resource only; the reason goes to a debugger.
            OutputDebugStringW((L"Style resource " + resource.Name + L": " + e.Message()).c_str());
            failed.push_back(resource.Name);
        }
    }
    if (failed.size() == 1) Raise(ECustomStyleException(L"Unable to load style '" + failed[0] + L"'"));
    if (failed.size() > 1) Raise(ECustomStyleException(L"Unable to load styles: " + JoinNames(failed)));
}

std::vector<TStyleResource> TStyleManager::EnumStyleResources(HMODULE module) {
    TEnumContext context;
    // Fails with ERROR_RESOURCE_TYPE_NOT_FOUND when the module holds no style:
    // that is simply an empty list.
    EnumResourceNamesW(module, ResourceType, CollectStyleResource,
                       reinterpret_cast<LONG_PTR>(&context));
    if (context.error) std::rethrow_exception(context.error);
    return std::move(context.found);
}
