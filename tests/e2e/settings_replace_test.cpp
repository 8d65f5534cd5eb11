// How a save puts the new game.dat in place, seen from outside: a link stays
// a link, nothing bearing the temporary file's name stops a save or is
// removed, and a second click on Save while the notice is up does nothing.
#include "tests/e2e/Faults.h"
#include "tests/e2e/SettingsDriver.h"

#include <algorithm>

namespace e2e {
namespace {

class SettingsReplaceTest : public SettingsTest {};

// The link's target gets the new content, beside it no
// temporary file is left, and game.dat still shows whatever the target holds.
TEST_F(SettingsReplaceTest, ASettingsFileThatIsASymbolicLinkStaysOne) {
    const std::wstring targetFolder = Folder().Subfolder(L"elsewhere");
    const std::wstring target = targetFolder + L"real.dat";
    WriteFileBytes(target, kNeutralSettings);
    ASSERT_TRUE(MakeSymbolicLink(Folder().PathOf(kSettingsFile), target));

    ASSERT_NE(StartMain(), nullptr);
    Choose(kIdProtectionGrp, 1);
    const std::string saved = CrLfLines({"[DEFAULT]", "PROTECTION_ID = 0", "PROTECTION_MODE = 1", "PROTECTION_CHRONICLE = 0",
                                         "PROTECTION_LOGO = 0", "PROTECTION_CLIENT_ID = 0"});
    SaveExpecting(saved);
    ExpectBytes(ReadFileBytes(target), saved);
    EXPECT_EQ(FilesIn(targetFolder), std::vector<std::wstring>{L"real.dat"});
    WriteFileBytes(target, "changed through the target\r\n");
    ExpectBytes(ReadSettings(), "changed through the target\r\n");
}

// A folder under the temporary file's name, and a file under
// the next one that cannot be removed, do not stop a save, and stay.
TEST_F(SettingsReplaceTest, NothingBearingTheTemporaryNameStopsASave) {
    Folder().Subfolder(kSavingTempFile);
    const std::wstring next = Folder().PathOf(std::wstring(kSavingTempFile) + L".1");
    WriteFileBytes(next, "held by another program");
    HeldFile holder(next, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(holder.IsOpen());
    ASSERT_NE(StartWith(kNeutralSettings), nullptr);
    Choose(kIdProtectionGrp, 2);
    SaveExpecting(CrLfLines({"[DEFAULT]", "PROTECTION_ID = 0", "PROTECTION_MODE = 2", "PROTECTION_CHRONICLE = 0",
                             "PROTECTION_LOGO = 0", "PROTECTION_CLIENT_ID = 0"}));
    EXPECT_EQ(FolderEntries(Folder().Path()),
              (std::vector<std::wstring>{L"KorvaneCFG.exe", L"game.dat", L"game.dat.saving", L"game.dat.saving.1"}));
    EXPECT_EQ(ReadFileBytes(next), std::optional<std::string>("held by another program"));
}

// A start removes the files a killed save left under the temporary names,
// and nothing whose name only resembles them.
TEST_F(SettingsReplaceTest, AStartRemovesOnlyWhatKilledSavesLeft) {
    for (const wchar_t* left : {L"game.dat.saving", L"game.dat.saving.2"}) Folder().WriteBytes(left, "half a ne");
    const std::vector<std::wstring> users = {L"game.dat.saving.bak", L"game.dat.saving.02", L"game.dat.savings"};
    for (const std::wstring& name : users) Folder().WriteBytes(name, "the user's");
    ASSERT_NE(StartWith(kNeutralSettings), nullptr);
    CloseWithoutSaving();
    std::vector<std::wstring> expected = users;
    expected.insert(expected.end(), {L"KorvaneCFG.exe", L"game.dat"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(Folder().Path()), expected);
}

// The notice has no owner, so the window still takes clicks;
// one more on Save neither saves again nor brings a second notice.
TEST_F(SettingsReplaceTest, ASecondSaveWhileTheNoticeIsUpDoesNothing) {
    ASSERT_NE(StartWith(kNeutralSettings), nullptr);
    Choose(kIdProtectionGrp, 1);
    HWND notice = PressSave();
    ASSERT_NE(notice, nullptr) << "no notice after Save";
    EXPECT_TRUE(IsWindowEnabled(Main())) << "the window is disabled under the notice";
    // Another program changes the file: a second save would write over it.
    const std::string changed = "PROTECTION_MODE = 2\r\n";
    WriteSettings(changed);
    PostMessageW(Control(kIdSave), BM_CLICK, 0, 0);
    Sleep(300);  // a second save and its notice would come within this
    Settle();
    EXPECT_EQ(VisibleDialogs(App()).size(), 1u) << "a second notice";
    ExpectBytes(ReadSettings(), changed);
    ASSERT_TRUE(PressDialogButton(notice, IDOK));
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(0));
    ExpectBytes(ReadSettings(), changed);
}

}  // namespace
}  // namespace e2e
