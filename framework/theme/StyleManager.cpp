#include "framework/theme/StyleManager.h"

#include <commctrl.h>

#include "framework/core/Paths.h"

namespace {

// The styles of the executable, once discovered, and the one in force.
std::vector<std::unique_ptr<TCustomStyle>> gRegistered;
bool gDiscovered = false;
const TCustomStyle* gActive = nullptr;

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

const TCustomStyle* FindStyle(const std::vector<std::unique_ptr<TCustomStyle>>& styles, const std::wstring& name) {
    for (const auto& style : styles)
        if (SameName(style->Name(), name)) return style.get();
    return nullptr;
}

std::wstring ResourceNameText(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name));
    return name;
}

BOOL CALLBACK CollectStyleResource(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR param) noexcept {
    auto* found = reinterpret_cast<std::vector<TStyleResource>*>(param);
    // A resource that cannot be read is an empty style, which fails validation like any damaged one.
    const TResourceBytes bytes = FindResourceBytes(name, TStyleManager::ResourceType, module);
    const auto* data = static_cast<const uint8_t*>(bytes.data);
    try {
        found->push_back({ResourceNameText(name), std::vector<uint8_t>(data, data + (data ? bytes.size : 0))});
        return TRUE;
    } catch (...) {
        found->clear();  // out of memory: not a single style is usable then
        return FALSE;
    }
}

// A task dialog where there are any, else a message box of the same content.
// comctl32 offers task dialogs from version 6 on only (the version the
// manifest asks for); looked up at run time so that the program still starts
// where version 6 is not active.
void ShowStyleNotFound(const std::wstring& name) {
    const std::wstring text = L"Style '" + name + L"' not found";
    HWND owner = GetActiveWindow();
    const auto show = ProcAddress<HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*)>(
        "TaskDialogIndirect", GetModuleHandleW(L"comctl32.dll"));
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
    if (!show || FAILED(show(&config, &pressed, nullptr, nullptr)))
        MessageBoxW(owner, text.c_str(), L"Error", MB_OK | MB_ICONERROR);
}

BOOL CALLBACK RepaintWindow(HWND window, LPARAM) noexcept {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

bool HighContrastOn() {
    HIGHCONTRASTW highContrast{sizeof highContrast, 0, nullptr};
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
           (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

std::vector<TStyleResource> EnumStyleResources(HMODULE module) {
    std::vector<TStyleResource> found;
    // Fails with ERROR_RESOURCE_TYPE_NOT_FOUND when the module holds no style:
    // that is simply an empty list.
    EnumResourceNamesW(module, TStyleManager::ResourceType, CollectStyleResource, reinterpret_cast<LONG_PTR>(&found));
    return found;
}

std::vector<std::unique_ptr<TCustomStyle>> LoadStyles(const std::vector<TStyleResource>& resources) {
    std::vector<std::unique_ptr<TCustomStyle>> styles;
    std::wstring failed;
    size_t failures = 0;
    for (const TStyleResource& resource : resources) {
        try {
            const auto& bytes = resource.Bytes;
            auto style = std::make_unique<TCustomStyle>(TCustomStyle::Load(bytes.data(), bytes.size()));
            if (FindStyle(styles, style->Name()))
                Raise(EStyleFormatError(L"A style named '" + style->Name() + L"' is registered already"));
            styles.push_back(std::move(style));
        } catch (const Exception& e) {
            // The error text names the resource only; the reason goes to a debugger.
            OutputDebugStringW((L"Style resource " + resource.Name + L": " + e.Message()).c_str());
            failed += (failures++ ? L"," : L"") + resource.Name;
        }
    }
    if (failures == 1) Raise(ECustomStyleException(L"Unable to load style '" + failed + L"'"));
    if (failures > 1) Raise(ECustomStyleException(L"Unable to load styles: " + failed));
    return styles;
}

bool TStyleManager::TrySetStyle(const std::wstring& name, bool showErrors) {
    if (!gDiscovered) {
        // Marked first: a failure is reported once.
        gDiscovered = true;
        gRegistered = LoadStyles(EnumStyleResources(GetModuleHandleW(nullptr)));
    }
    const TCustomStyle* style = FindStyle(gRegistered, name);
    if (!style) {
        if (showErrors) ShowStyleNotFound(name);
        return false;
    }
    if (gActive != style) {
        gActive = style;
        // Windows that exist already take on the new look.
        EnumThreadWindows(GetCurrentThreadId(), RepaintWindow, 0);
    }
    return true;
}

const TCustomStyle* TStyleManager::ActiveStyle() { return gActive; }

bool TStyleManager::IsStyleEnabled() { return gActive != nullptr && !HighContrastOn(); }
