// The build ID field takes only digits from the user, typed or pasted, at
// most three; what it holds is what a save writes.
#include "tests/e2e/SettingsDriver.h"

namespace e2e {
namespace {

class SettingsBuildIdTest : public SettingsTest {
protected:
    std::wstring BuildId() const { return WindowText(Control(kIdDLLKey)); }

    static std::string FileWithBuildId(std::string_view id) {
        return CrLfLines({"PROTECTION_MODE = 0", "PROTECTION_CLIENT_ID = " + std::string(id)});
    }
};

TEST_F(SettingsBuildIdTest, TypedNonDigitsAndAFourthDigitAreRefused) {
    ASSERT_NE(StartWith(FileWithBuildId("")), nullptr);
    ASSERT_EQ(BuildId(), L"");
    TypeAtEndOfBuildId(L"5a7 -x.");
    EXPECT_EQ(BuildId(), L"57");
    TypeAtEndOfBuildId(L"89");
    EXPECT_EQ(BuildId(), L"578");
    SaveExpecting(FileWithBuildId("578"));
}

TEST_F(SettingsBuildIdTest, PastedTextIsTakenOnlyWhenItIsAllDigits) {
    ASSERT_NE(StartWith(FileWithBuildId("")), nullptr);
    {
        ClipboardText clip(L"4a9");
        ASSERT_TRUE(clip.Placed());
        PasteIntoBuildId();
        EXPECT_EQ(BuildId(), L"") << "a paste with a letter was taken";
    }
    {
        ClipboardText clip(L" 42");
        ASSERT_TRUE(clip.Placed());
        PasteIntoBuildId();
        EXPECT_EQ(BuildId(), L"");
    }
    {
        ClipboardText clip(L"9876");
        ASSERT_TRUE(clip.Placed());
        PasteIntoBuildId();
        std::wstring pasted = BuildId();
        EXPECT_LE(pasted.size(), 3u) << Narrow(pasted);
        EXPECT_TRUE(pasted.empty() || std::wstring(L"9876").starts_with(pasted)) << Narrow(pasted);
    }
    {
        ClipboardText clip(L"42");
        ASSERT_TRUE(clip.Placed());
        TypeOverBuildId(L"");
        SendOrZero(Control(kIdDLLKey), WM_CLEAR);
        PasteIntoBuildId();
        EXPECT_EQ(BuildId(), L"42") << "a paste of digits was refused";
    }
    SaveExpecting(FileWithBuildId("42"));
}

TEST_F(SettingsBuildIdTest, ALoadedLongTextStaysWholeAndTakesNoMoreDigits) {
    ASSERT_NE(StartWith(FileWithBuildId("12345")), nullptr);
    EXPECT_EQ(BuildId(), L"12345");
    TypeAtEndOfBuildId(L"6");
    EXPECT_EQ(BuildId(), L"12345");
    SaveExpecting(FileWithBuildId("12345"));
}

TEST_F(SettingsBuildIdTest, AClearedFieldIsSavedAsZero) {
    ASSERT_NE(StartWith(FileWithBuildId("7")), nullptr);
    TypeOverBuildId(L"\b");
    EXPECT_EQ(BuildId(), L"");
    SaveExpecting(FileWithBuildId("0"));
}

}  // namespace
}  // namespace e2e
