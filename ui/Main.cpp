// The configuration window: loading game.dat into the controls, the
// selection logic that keeps the radio groups and the setting codes in step,
// and saving.
#include "ui/Main.h"

#include <array>
#include <span>

#include "framework/core/Paths.h"
#include "settings/SettingsFile.h"

TKvgCFG* KvgCFG = nullptr;

namespace {
// Removes every blank (U+0020) at the start of the edit's text; storing the
// shorter text runs the edit's change handler, storing the same text nothing.
void RemoveLeadingBlanks(TEdit& edit) {
    const std::wstring& text = edit.Text();
    const auto first = text.find_first_not_of(L' ');
    edit.SetText(first == std::wstring::npos ? std::wstring() : text.substr(first));
}

struct TItemCode {
    const wchar_t* item;
    const wchar_t* code;
};
// "Bot Engine" items and their protection mode codes.
constexpr TItemCode kProtectionCodes[] = {{L"DEFAULT", L"0"}, {L"FULL", L"1"}, {L"CUSTOM", L"2"}};
// Chronicle items and their codes, by name. Code "1" has no item.
constexpr TItemCode kChronicleCodes[] = {{L"INTERLUDE", L"0"}, {L"HIGH FIVE", L"2"}, {L"CLASSIC", L"3"}};

const wchar_t* CodeOfItem(std::span<const TItemCode> table, const std::wstring& item) {
    for (const TItemCode& row : table)
        if (item == row.item) return row.code;
    return nullptr;
}

// The item of `group` whose code `code` is, or -1 when no item has that code.
int ItemOfCode(const TRadioGroup& group, std::span<const TItemCode> table, const std::wstring& code) {
    for (int i = 0; i < group.ItemCount(); ++i) {
        const wchar_t* itemCode = CodeOfItem(table, group.ItemText(i));
        if (itemCode && code == itemCode) return i;
    }
    return -1;
}
}  // namespace

TKvgCFG::TKvgCFG() : TForm(L"KvgCFG") { KvgCFG = this; }

const TFormDescription& TKvgCFG::Description() const { return KvgCFGDescription(); }

TNotifyEvent TKvgCFG::FindMethod(const std::wstring& name) {
    using Handler = void (TKvgCFG::*)(TComponent*);
    static const std::array<std::pair<const wchar_t*, Handler>, 7> kPublished{{
        {L"FormCreate", &TKvgCFG::FormCreate},
        {L"DLLKeyChange", &TKvgCFG::DLLKeyChange},
        {L"SaveClick", &TKvgCFG::SaveClick},
        {L"ChronicleGrpClick", &TKvgCFG::ChronicleGrpClick},
        {L"ProtectionGrpClick", &TKvgCFG::ProtectionGrpClick},
        {L"pCronicChange", &TKvgCFG::pCronicChange},
        {L"pModeChange", &TKvgCFG::pModeChange},
    }};
    for (const auto& [published, handler] : kPublished)
        if (name == published) return [this, handler](TComponent* sender) { (this->*handler)(sender); };
    return nullptr;
}

void TKvgCFG::Loaded() {
    GroupBox4 = static_cast<TGroupBox*>(FindControl(L"GroupBox4"));
    DLLKey = static_cast<TEdit*>(FindControl(L"DLLKey"));
    Label13 = static_cast<TLabel*>(FindControl(L"Label13"));
    Image1 = static_cast<TImage*>(FindControl(L"Image1"));
    ShowCustomLogo = static_cast<TCheckBox*>(FindControl(L"ShowCustomLogo"));
    StatusBar1 = static_cast<TStatusBar*>(FindControl(L"StatusBar1"));
    Save = static_cast<TBitBtn*>(FindControl(L"Save"));
    pCronic = static_cast<TEdit*>(FindControl(L"pCronic"));
    pMode = static_cast<TEdit*>(FindControl(L"pMode"));
    ProtectionGrp = static_cast<TRadioGroup*>(FindControl(L"ProtectionGrp"));
    ChronicleGrp = static_cast<TRadioGroup*>(FindControl(L"ChronicleGrp"));
}

std::wstring TKvgCFG::SettingsPath() const { return executableFolder_ + kSettingsFileName; }

// In the order of kSettingsKeys.
std::array<TKvgCFG::TValueControl, kKeyCount> TKvgCFG::ValueControls() const {
    return {pMode, pCronic, ShowCustomLogo, DLLKey};
}

void TKvgCFG::FormCreate(TComponent* /*sender*/) {
    executableFolder_ = FolderOf(ModuleFileName());
    const std::wstring path = SettingsPath();
    // A save that was killed half-way may have left its temporary file.
    CleanUpInterruptedSave(path);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool isFile = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!isFile) CreateIniFile();
    FillFields();
    SynchronizeSelectors();
}

void TKvgCFG::CreateIniFile() { CreateSettingsFile(SettingsPath(), DefaultSettingsBytes(GetACP())); }

void TKvgCFG::FillFields() {
    // A file that cannot be read is not read at all: nothing changes then,
    // and the codes keep their design values, which have no leading blanks.
    const TLoadedValues loaded = LoadSettingsFile(SettingsPath());
    const auto controls = ValueControls();
    for (size_t key = 0; key < kKeyCount; ++key) {
        if (!loaded[key]) continue;
        // Loading only ever sets: a text into an edit, a check into a box.
        if (TEdit* const* edit = std::get_if<TEdit*>(&controls[key])) (*edit)->SetText(*loaded[key]);
        else std::get<TCheckBox*>(controls[key])->SetChecked(true);
    }
    RemoveLeadingBlanks(*pCronic);
    RemoveLeadingBlanks(*pMode);
}

TWindowValues TKvgCFG::HeldValues() const {
    const auto controls = ValueControls();
    TWindowValues values;
    for (size_t key = 0; key < kKeyCount; ++key) {
        if (TEdit* const* edit = std::get_if<TEdit*>(&controls[key])) values[key] = (*edit)->Text();
        else values[key] = std::get<TCheckBox*>(controls[key])->Checked() ? L"1" : L"0";
    }
    return values;
}

// Selects the items whose codes the window holds, each group on its own. A
// code that no item has leaves its group with no item selected, so the
// window never shows a choice other than the one a save writes.
void TKvgCFG::SynchronizeSelectors() {
    ProtectionGrp->SetItemIndex(ItemOfCode(*ProtectionGrp, kProtectionCodes, pMode->Text()));
    ChronicleGrp->SetItemIndex(ItemOfCode(*ChronicleGrp, kChronicleCodes, pCronic->Text()));
}

void TKvgCFG::ProtectionGrpClick(TComponent* /*sender*/) {
    if (const wchar_t* code = CodeOfItem(kProtectionCodes, ProtectionGrp->ItemText(ProtectionGrp->ItemIndex())))
        pMode->SetText(code);
}

void TKvgCFG::ChronicleGrpClick(TComponent* /*sender*/) {
    if (const wchar_t* code = CodeOfItem(kChronicleCodes, ChronicleGrp->ItemText(ChronicleGrp->ItemIndex())))
        pCronic->SetText(code);
}

void TKvgCFG::DLLKeyChange(TComponent* /*sender*/) { RemoveLeadingBlanks(*DLLKey); }

void TKvgCFG::pCronicChange(TComponent* /*sender*/) { pCronic->SetText(pCronic->Text()); }

void TKvgCFG::pModeChange(TComponent* /*sender*/) { pMode->SetText(pMode->Text()); }

void TKvgCFG::SaveClick(TComponent* /*sender*/) { SaveFields(); }

void TKvgCFG::SaveFields() {
    // The notice has no owner, so the window takes clicks while it is up:
    // one more on Save must not start a second save. After a success the
    // window is closing, and stays so.
    if (saving_) return;
    saving_ = true;
    try {
        SaveSettingsFile(SettingsPath(), HeldValues());
    } catch (...) {
        saving_ = false;  // the user may try again
        throw;
    }
    MessageBoxW(nullptr, L"Success!", L"Korvane Configurator", 0x140);
    Close();
}
