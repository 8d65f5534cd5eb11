// The radio groups and the setting codes: which items a loaded file shows,
// what the user's choices store, and that a save writes exactly the codes
// the window shows (and no code the user did not choose).
#include "tests/e2e/SettingsDriver.h"

namespace e2e {
namespace {

std::string CodesFile(std::string_view mode, std::string_view chronicle) {
    return CrLfLines({"[DEFAULT]", "PROTECTION_ID = 0", "PROTECTION_MODE = " + std::string(mode),
                      "PROTECTION_CHRONICLE = " + std::string(chronicle), "PROTECTION_LOGO = 0",
                      "PROTECTION_CLIENT_ID = 5"});
}

struct CodesCase {
    const char* name;
    const char* mode;
    const char* chronicle;
    int protectionItem;  // Bot Engine: DEFAULT, FULL, CUSTOM
    int chronicleItem;   // INTERLUDE, HIGH FIVE, CLASSIC
};

class SettingsSelectionTest : public SettingsTest, public ::testing::WithParamInterface<CodesCase> {};

// Each group shows the item of its own code, or none; saving without a
// touch writes the very same file back.
TEST_P(SettingsSelectionTest, ShowsTheItemsOfTheCodesAndSavesThemUnchanged) {
    const CodesCase& codes = GetParam();
    const std::string file = CodesFile(codes.mode, codes.chronicle);
    ASSERT_NE(StartWith(file), nullptr);
    ShownSettings shown = Shown();
    EXPECT_EQ(shown.protectionItem, codes.protectionItem);
    EXPECT_EQ(shown.chronicleItem, codes.chronicleItem);
    EXPECT_EQ(Narrow(shown.mode), codes.mode);
    EXPECT_EQ(Narrow(shown.chronicle), codes.chronicle);
    SaveExpecting(file);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsCodes, SettingsSelectionTest,
    ::testing::Values(CodesCase{"DefaultInterlude", "0", "0", 0, 0},
                      // Both groups follow their codes, each on its own.
                      CodesCase{"FullClassic", "1", "3", 1, 2},
                      CodesCase{"CustomHighFive", "2", "2", 2, 1},
                      // Chronicle 1 has no item: none is shown, and it stays 1.
                      CodesCase{"DefaultChronicle1", "0", "1", 0, kNoItem},
                      // A mode without an item shows no Bot Engine item, and
                      // the chronicle still maps by name (2 stays 2).
                      CodesCase{"Mode5Interlude", "5", "0", kNoItem, 0},
                      CodesCase{"Mode5HighFive", "5", "2", kNoItem, 1},
                      CodesCase{"Mode5Classic", "5", "3", kNoItem, 2},
                      CodesCase{"Mode5Chronicle1", "5", "1", kNoItem, kNoItem},
                      CodesCase{"Mode01Chronicle7", "01", "7", kNoItem, kNoItem}),
    [](const ::testing::TestParamInfo<CodesCase>& codes) { return std::string(codes.param.name); });

class SettingsChoiceTest : public SettingsTest {};

TEST_F(SettingsChoiceTest, ChoosingDefaultUnderAnUnknownModeStoresZero) {
    ASSERT_NE(StartWith(CodesFile("5", "2")), nullptr);
    ASSERT_EQ(Shown().protectionItem, kNoItem);
    Choose(kIdProtectionGrp, 0);
    EXPECT_EQ(Shown(), (ShownSettings{L"0", L"2", L"5", false, 0, 1}));
    SaveExpecting(CodesFile("0", "2"));
}

TEST_F(SettingsChoiceTest, EachItemStoresItsCodeAndTheChronicleCannotBeChosen) {
    ASSERT_NE(StartWith(CodesFile("0", "2")), nullptr);
    Choose(kIdProtectionGrp, 2);
    EXPECT_EQ(Shown().mode, L"2");
    Choose(kIdProtectionGrp, 1);
    EXPECT_EQ(Shown().mode, L"1");
    Choose(kIdProtectionGrp, 0);
    EXPECT_EQ(Shown().mode, L"0");
    Choose(kIdProtectionGrp, 2);
    Choose(kIdProtectionGrp, 2);  // again: nothing changes
    EXPECT_EQ(Shown().mode, L"2");
    EXPECT_EQ(Shown().protectionItem, 2);

    // The chronicle group is disabled: a click selects nothing and stores nothing.
    const bool enabled = IsWindowEnabled(Control(kIdChronicleGrp)) &&
                         IsWindowEnabled(Control(RadioItemId(kIdChronicleGrp, 2)));
    ASSERT_FALSE(enabled) << "the chronicle group is enabled";
    Choose(kIdChronicleGrp, 2);
    Choose(kIdChronicleGrp, 0);
    EXPECT_EQ(Shown().chronicle, L"2");
    EXPECT_EQ(Shown().chronicleItem, 1);
    SaveExpecting(CodesFile("2", "2"));
}

TEST_F(SettingsChoiceTest, EmptyCodesAreSavedAsZero) {
    ASSERT_NE(StartWith(CrLfLines({"PROTECTION_MODE = ", "PROTECTION_CHRONICLE =    ", "PROTECTION_CLIENT_ID = "})),
              nullptr);
    EXPECT_EQ(Shown(), (ShownSettings{L"", L"", L"", false, kNoItem, kNoItem}));
    SaveExpecting(CrLfLines({"PROTECTION_MODE = 0", "PROTECTION_CHRONICLE = 0", "PROTECTION_CLIENT_ID = 0"}));
}

}  // namespace
}  // namespace e2e
