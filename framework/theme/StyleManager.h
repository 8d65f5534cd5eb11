#pragma once
// The process-wide visual style. Styles are discovered in the executable's
// resources of type "VCLSTYLE", registered under the name recorded inside
// each, and one of them is made active by name. The painting code asks
// IsStyleEnabled() and reads the active style's palette.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/theme/Style.h"

// A style resource as discovery finds it.
struct TStyleResource {
    std::wstring Name;  // the resource name, e.g. "CARBON"; "#5" for a numeric one
    std::vector<uint8_t> Bytes;
};

class TStyleManager {
public:
    static constexpr const wchar_t* ResourceType = L"VCLSTYLE";
    // Identifier of the "&Close" button of the style-not-found box.
    static constexpr int CloseButtonId = 100;

    // Makes the style recorded as `name` (any letter case) active. Discovers
    // the styles first if that has not happened since the resource source was
    // last set; a style resource that cannot be loaded raises
    // ECustomStyleException. An unknown name shows an error box when
    // `showErrors` is set and returns false.
    static bool TrySetStyle(const std::wstring& name, bool showErrors = true);

    // The active style; null when none is.
    static const TCustomStyle* ActiveStyle();
    // Whether windows should be painted in the active style: false without
    // one, and false while Windows' high-contrast mode is on, so the user's
    // colours win.
    static bool IsStyleEnabled();

    // The registered style recorded as `name`, ignoring letter case; null when
    // there is none. Does not discover.
    static const TCustomStyle* FindStyle(const std::wstring& name);
    static std::vector<std::wstring> StyleNames();

    // Where the next discovery looks: the resources of `module` (null means
    // the executable), or a fixed list. Both forget every registered style
    // and the active one.
    static void SetResourceModule(HMODULE module);
    static void SetResources(std::vector<TStyleResource> resources);

    // Loads each resource and registers it under its recorded name, going on
    // past failures; then raises ECustomStyleException naming the resources
    // that failed (invalid data, or a name registered already).
    static void RegisterStyles(const std::vector<TStyleResource>& resources);

    // The resources of type "VCLSTYLE" in `module`, with copies of their bytes.
    static std::vector<TStyleResource> EnumStyleResources(HMODULE module);
};
