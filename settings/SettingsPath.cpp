#include "settings/SettingsPath.h"

std::wstring SettingsPathBeside(const std::wstring& executableFolder) {
    return executableFolder + kSettingsFileName;
}
