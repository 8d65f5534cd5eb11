#include "settings/SettingsKeys.h"

namespace {
bool Contains(std::wstring_view line, std::wstring_view text) {
    return FindText(line, text) != std::wstring_view::npos;
}

std::optional<std::wstring> ValueAfterKey(std::wstring_view line, std::wstring_view key) {
    const size_t at = FindText(line, key);
    if (at == std::wstring_view::npos) return std::nullopt;
    return std::wstring(line.substr(at + key.size()));
}

std::wstring_view KeyLine(std::wstring_view key, std::wstring_view value, std::wstring& buffer) {
    buffer.assign(key);
    buffer.append(value.empty() ? L"0" : value);
    return buffer;
}
}  // namespace

std::vector<std::wstring> DefaultSettingsLines() {
    return {
        L"[DEFAULT]",
        L"PROTECTION_ID = 0",
        L"PROTECTION_MODE = 0",
        L"PROTECTION_CHRONICLE = 0",
        L"PROTECTION_LOGO = 1",
        L"PROTECTION_CLIENT_ID = 0",
    };
}

KeyLineValues ReadKeyLineValues(std::wstring_view line) {
    KeyLineValues values;
    values.mode = ValueAfterKey(line, kModeKey);
    values.chronicle = ValueAfterKey(line, kChronicleKey);
    values.logoShown = Contains(line, kLogoShownText);
    values.clientId = ValueAfterKey(line, kClientIdKey);
    return values;
}

std::wstring_view RewriteLine(std::wstring_view line, const SavedValues& values,
                              std::wstring& buffer) {
    if (!Contains(line, kKeyPrefix)) return line;
    if (Contains(line, kModeKey)) return KeyLine(kModeKey, values.mode, buffer);
    if (Contains(line, kChronicleKey)) return KeyLine(kChronicleKey, values.chronicle, buffer);
    if (Contains(line, kLogoKey)) return KeyLine(kLogoKey, values.logoShown ? L"1" : L"0", buffer);
    if (Contains(line, kClientIdKey)) return KeyLine(kClientIdKey, values.clientId, buffer);
    return line;
}

std::wstring RewriteLine(std::wstring_view line, const SavedValues& values) {
    std::wstring buffer;
    return std::wstring(RewriteLine(line, values, buffer));
}
