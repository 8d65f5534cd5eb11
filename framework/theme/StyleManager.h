#pragma once
// The process-wide visual style. Styles are discovered in the executable's
// resources of type "VCLSTYLE", each registered under the name recorded inside
// it, and one of them is made active by name. The painting code asks
// IsStyleEnabled() and reads the active style's palette.
#include <windows.h>

#include <cstdint>
#include <memory>
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

    // Makes the style recorded as `name` (any letter case) active. The first
    // call discovers the executable's styles; a style resource that cannot be
    // loaded raises ECustomStyleException. An unknown name shows an error box
    // when `showErrors` is set and returns false.
    static bool TrySetStyle(const std::wstring& name, bool showErrors = true);

    // The active style; null when none is.
    static const TCustomStyle* ActiveStyle();
    // Whether windows should be painted in the active style: false without
    // one, and false while Windows' high-contrast mode is on, so the user's
    // colours win.
    static bool IsStyleEnabled();
};

// The resources of type "VCLSTYLE" in `module`, with copies of their bytes.
std::vector<TStyleResource> EnumStyleResources(HMODULE module);

// Loads every resource as a style. Goes on past failures (invalid data, or a
// name loaded already), then raises ECustomStyleException naming the
// resources that failed.
std::vector<std::unique_ptr<TCustomStyle>> LoadStyles(const std::vector<TStyleResource>& resources);
