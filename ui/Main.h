#pragma once
// The configuration window: shows the settings of game.dat, keeps the radio
// groups and the setting codes in step, and saves them back.
#include <array>
#include <string>
#include <variant>

#include "framework/controls/BitBtn.h"
#include "framework/controls/CheckBox.h"
#include "framework/controls/Edit.h"
#include "framework/controls/GroupBox.h"
#include "framework/controls/Image.h"
#include "framework/controls/Label.h"
#include "framework/controls/RadioGroup.h"
#include "framework/controls/StatusBar.h"
#include "framework/core/Form.h"
#include "settings/SettingsFormat.h"

class TKvgCFG : public TForm {
public:
    TKvgCFG();

    // Controls, found by name once the window is built.
    TGroupBox* GroupBox4 = nullptr;
    TEdit* DLLKey = nullptr;
    TLabel* Label13 = nullptr;
    TImage* Image1 = nullptr;
    TCheckBox* ShowCustomLogo = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TBitBtn* Save = nullptr;
    TEdit* pCronic = nullptr;
    TEdit* pMode = nullptr;
    TRadioGroup* ProtectionGrp = nullptr;
    TRadioGroup* ChronicleGrp = nullptr;

    // Published methods, bound by name in the window's description.
    void FormCreate(TComponent* sender);
    void FillFields();
    void SaveFields();
    void CreateIniFile();
    void DLLKeyChange(TComponent* sender);
    void SaveClick(TComponent* sender);
    void ChronicleGrpClick(TComponent* sender);
    void ProtectionGrpClick(TComponent* sender);
    void pCronicChange(TComponent* sender);
    void pModeChange(TComponent* sender);

    // The settings file of this run.
    std::wstring SettingsPath() const;

protected:
    const TFormDescription& Description() const override;
    TNotifyEvent FindMethod(const std::wstring& name) override;
    void Loaded() override;

private:
    // The control that holds a key's value: an edit its text, a check box a flag.
    using TValueControl = std::variant<TEdit*, TCheckBox*>;
    std::array<TValueControl, kKeyCount> ValueControls() const;
    TWindowValues HeldValues() const;
    void SynchronizeSelectors();

    std::wstring executableFolder_;  // set once, while the window is created
    bool saving_ = false;            // a save is under way, or has succeeded
};

// The one configuration window of the process.
extern TKvgCFG* KvgCFG;

// The window's design: every control with its position, text and state.
const TFormDescription& KvgCFGDescription();
