#include "framework/controls/ControlFactory.h"

#include "framework/controls/BitBtn.h"
#include "framework/controls/CheckBox.h"
#include "framework/controls/Edit.h"
#include "framework/controls/GroupBox.h"
#include "framework/controls/Image.h"
#include "framework/controls/Label.h"
#include "framework/controls/RadioGroup.h"
#include "framework/controls/StatusBar.h"

std::unique_ptr<TControl> CreateControlOfKind(TControlKind kind, const std::wstring& name) {
    switch (kind) {
        case TControlKind::Image: return std::make_unique<TImage>(name);
        case TControlKind::GroupBox: return std::make_unique<TGroupBox>(name);
        case TControlKind::Label: return std::make_unique<TLabel>(name);
        case TControlKind::Edit: return std::make_unique<TEdit>(name);
        case TControlKind::CheckBox: return std::make_unique<TCheckBox>(name);
        case TControlKind::RadioGroup: return std::make_unique<TRadioGroup>(name);
        case TControlKind::BitBtn: return std::make_unique<TBitBtn>(name);
        case TControlKind::StatusBar: return std::make_unique<TStatusBar>(name);
    }
    Raise(Exception(L"Unknown control kind for " + name));
}
