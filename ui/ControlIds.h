#pragma once
// Control identifiers of the configuration window. Besides the window
// procedure, UI-automation tools and the end-to-end tests find controls by them.
enum ControlId : int {
    kIdGroupBox4 = 100,
    kIdImage1 = 101,
    kIdLabel13 = 102,
    kIdDLLKey = 103,
    kIdShowCustomLogo = 104,
    kIdStatusBar1 = 105,
    kIdSave = 106,
    kIdPCronic = 107,
    kIdPMode = 108,
    kIdProtectionGrp = 120,  // items: 121, 122, 123
    kIdChronicleGrp = 130,   // items: 131, 132, 133
};

// Radio group items are numbered after their group: group id + 1 + index.
constexpr int RadioItemId(int groupId, int index) { return groupId + 1 + index; }

inline constexpr wchar_t kMainWindowClass[] = L"TKvgCFG";
