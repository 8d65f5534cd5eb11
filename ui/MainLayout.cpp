// The design of the configuration window, as data. Positions and sizes are
// pixels at 96 dpi; controls inside GroupBox4 are placed relative to it.
#include "ui/ControlIds.h"
#include "ui/Main.h"

namespace {

const TFormDescription kDescription{
    .name = kMainWindowClass,
    .caption = L"Korvane \u2022 Configurator",
    .clientWidth = 354,
    .clientHeight = 345,
    .fontName = L"Tahoma",
    .fontHeight = -11,  // 8 points at 96 dpi
    .iconResource = L"MAINICON",
    .onCreate = L"FormCreate",
    .controls = {
        {.kind = ControlClass<TImage>, .name = L"Image1", .parent = nullptr, .id = kIdImage1,
         .bounds = {0, 0, 354, 177}, .align = TAlign::Top,
         .pictureClass = L"TPNGGraphic", .pictureResource = L"BANNER"},
        {.kind = ControlClass<TGroupBox>, .name = L"GroupBox4", .parent = nullptr, .id = kIdGroupBox4,
         .bounds = {0, 177, 354, 168}, .text = L"Korvane System Configs", .tabOrder = 0,
         .align = TAlign::Client},
        {.kind = ControlClass<TLabel>, .name = L"Label13", .parent = L"GroupBox4", .id = kIdLabel13,
         .bounds = {195, 30, 79, 13}, .text = L"Custom Build ID:", .autoSize = true},
        {.kind = ControlClass<TEdit>, .name = L"DLLKey", .parent = L"GroupBox4", .id = kIdDLLKey,
         .bounds = {285, 27, 54, 21}, .text = L"", .tabOrder = 3, .centered = true,
         .numbersOnly = true, .maxLength = 3,
         .events = {{L"OnChange", L"DLLKeyChange"}}},
        {.kind = ControlClass<TCheckBox>, .name = L"ShowCustomLogo", .parent = L"GroupBox4", .id = kIdShowCustomLogo,
         .bounds = {23, 27, 148, 17}, .text = L"Show Custom Server Logo", .tabOrder = 0, .checked = false},
        {.kind = ControlClass<TStatusBar>, .name = L"StatusBar1", .parent = L"GroupBox4", .id = kIdStatusBar1,
         .bounds = {2, 147, 350, 19}, .align = TAlign::Bottom,
         .panels = {{L"Korvane Protection", 120}, {L"https://korvane.example.com", 150}}},
        {.kind = ControlClass<TBitBtn>, .name = L"Save", .parent = L"GroupBox4", .id = kIdSave,
         .bounds = {208, 77, 131, 59}, .text = L"Save", .tabOrder = 4,
         .pictureResource = L"SAVEGLYPH", .events = {{L"OnClick", L"SaveClick"}}},
        {.kind = ControlClass<TEdit>, .name = L"pCronic", .parent = L"GroupBox4", .id = kIdPCronic,
         .bounds = {208, 49, 28, 22}, .text = L"0", .tabOrder = 6, .visible = false, .readOnly = true,
         .centered = true, .numbersOnly = true, .maxLength = 1,
         .events = {{L"OnChange", L"pCronicChange"}}},
        {.kind = ControlClass<TEdit>, .name = L"pMode", .parent = L"GroupBox4", .id = kIdPMode,
         .bounds = {242, 49, 28, 22}, .text = L"0", .tabOrder = 7, .visible = false, .readOnly = true,
         .centered = true, .numbersOnly = true, .maxLength = 1,
         .events = {{L"OnChange", L"pModeChange"}}},
        {.kind = ControlClass<TRadioGroup>, .name = L"ProtectionGrp", .parent = L"GroupBox4", .id = kIdProtectionGrp,
         .bounds = {111, 50, 81, 86}, .text = L"Bot Engine", .tabOrder = 2,
         .items = {L"DEFAULT", L"FULL", L"CUSTOM"}, .itemIndex = 0,
         .events = {{L"OnClick", L"ProtectionGrpClick"}}},
        {.kind = ControlClass<TRadioGroup>, .name = L"ChronicleGrp", .parent = L"GroupBox4", .id = kIdChronicleGrp,
         .bounds = {8, 50, 97, 86}, .text = L"Chronicle", .tabOrder = 1, .enabled = false,
         .items = {L"INTERLUDE", L"HIGH FIVE", L"CLASSIC"}, .itemIndex = 0,
         .events = {{L"OnClick", L"ChronicleGrpClick"}}},
    },
};
}  // namespace

const TFormDescription& KvgCFGDescription() { return kDescription; }
