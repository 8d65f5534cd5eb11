// Real faults while loading and saving game.dat, with the exact box the user
// sees, and proof that nothing is lost: after every failed save game.dat is
// byte-identical and no temporary file is left, the window takes input
// again, and once the fault is gone a save succeeds.
#include "tests/e2e/Faults.h"

namespace e2e {
namespace {

constexpr wchar_t kInUse[] = L"I/O error 32.";
constexpr wchar_t kAccessDenied[] = L"File access denied.";

bool SetReadOnly(const std::wstring& path, bool readOnly) {
    return SetFileAttributesW(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

TEST_F(FaultTest, ReadOnlySettingsFileRefusesEverySaveUntilItIsWritable) {
    StartOn(kUserSettings);
    ChooseProtection(1, L"1");
    ASSERT_TRUE(SetReadOnly(SettingsPath(), true));
    ExpectSaveFails(kAccessDenied, kUserSettings);

    // The program carries on: the window takes input, and a second failure
    // brings a box of its own.
    ChooseProtection(2, L"2");
    ChooseProtection(1, L"1");
    ExpectSaveFails(kAccessDenied, kUserSettings);

    ASSERT_TRUE(SetReadOnly(SettingsPath(), false));
    ExpectSaveSucceeds(kUserSettingsSavedFull);
}

TEST_F(FaultTest, FileHeldForWritingAtStartUpIsReportedBeforeTheWindowOpensWithItsDesignValues) {
    WriteSettings(kUserSettings);
    HeldFile holder(SettingsPath(), GENERIC_WRITE, FILE_SHARE_READ);
    ASSERT_TRUE(holder.IsOpen()) << holder.Error();
    Start();
    ExpectErrorBoxAndDismiss(App(), nullptr, {kInUse, false});
    main_ = App().WaitForMainWindow();
    ASSERT_NE(main_, nullptr) << "the window did not open after the box";
    ExpectDesignValues();
    holder.Release();
    EXPECT_EQ(ReadSettings(), std::optional<std::string>(kUserSettings));
    // Save writes what the window holds, which is the design values now.
    ExpectSaveSucceeds(kUserSettingsSavedFromDesign);
}

TEST_F(FaultTest, FileHeldForWritingOnSaveCannotBeRead) {
    StartOn(kUserSettings);
    ChooseProtection(1, L"1");
    HeldFile holder(SettingsPath(), GENERIC_WRITE, FILE_SHARE_READ);
    ASSERT_TRUE(holder.IsOpen()) << holder.Error();
    ExpectSaveFails(CannotOpenText(SettingsPath(), kWineSharingViolation), kUserSettings);
    holder.Release();
    ExpectSaveSucceeds(kUserSettingsSavedFull);
}

TEST_F(FaultTest, FileHeldForReadingWithoutWriteSharingOnSaveCannotBeWritten) {
    StartOn(kUserSettings);
    ChooseProtection(1, L"1");
    HeldFile holder(SettingsPath(), GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(holder.IsOpen()) << holder.Error();
    ExpectSaveFails(kInUse, kUserSettings);
    holder.Release();
    ExpectSaveSucceeds(kUserSettingsSavedFull);
}

TEST_F(FaultTest, FileDeletedAfterStartUpIsNotCreatedBySave) {
    StartOn(kUserSettings);
    ChooseProtection(1, L"1");
    ASSERT_TRUE(DeleteFileW(SettingsPath().c_str()));
    ExpectSaveFails(CannotOpenText(SettingsPath(), kWineFileNotFound), std::nullopt);
    EXPECT_FALSE(Folder().Exists(kSettingsFile));

    WriteSettings(kUserSettings);
    ExpectSaveSucceeds(kUserSettingsSavedFull);
}

// A chain of folders below the test folder, deep enough that game.dat's path
// is longer than 259 characters; created and removed through "\\?\" paths,
// which the file functions accept at any length.
class LongFolder {
public:
    explicit LongFolder(const std::wstring& base) : base_(base) {
        std::wstring folder = base;
        while (folder.size() + std::wstring_view(L"game.dat").size() <= 300) {
            folder += std::wstring(60, L'k') + L"\\";
            created_.push_back(folder);
            CreateDirectoryW(Long(folder).c_str(), nullptr);
        }
    }
    ~LongFolder() {
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
            for (const std::wstring& name : FolderEntries(Long(*it))) {
                SetFileAttributesW(Long(*it + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(Long(*it + name).c_str());
            }
            RemoveDirectoryW(Long(*it).c_str());
        }
    }
    const std::wstring& Path() const { return created_.back(); }
    static std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }

private:
    std::wstring base_;
    std::vector<std::wstring> created_;
};

// Windows cannot start an exe whose path is that long; Wine's own loader can.
// The program refuses settings paths over 259 characters with code 3: the
// box at start-up and on every Save, and game.dat is never touched.
TEST_F(FaultTest, ExecutableFolderWithAnOverlongPathNeverTouchesTheSettingsFile) {
    LongFolder folder(Folder().Path());
    const std::wstring settings = folder.Path() + kSettingsFile;
    ASSERT_GT(settings.size(), 259u);
    ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), LongFolder::Long(folder.Path() + L"KorvaneCFG.exe").c_str(), FALSE));
    WriteFileBytes(LongFolder::Long(settings), kUserSettings);
    const std::wstring invalidName = L"Invalid file name - " + settings + L".";

    WineStartedApp app(folder.Path() + L"KorvaneCFG.exe", Folder().Path());
    ASSERT_TRUE(app.Found()) << "the exe in the long folder did not start";
    HWND box = app.WaitForTopLevel(kDialogClass);
    ASSERT_NE(box, nullptr) << "no box at start-up";
    EXPECT_EQ(app.FindTopLevel(kMainWindowClass), nullptr) << "the window showed before the box";
    CheckErrorBoxAndDismiss(box, nullptr, {invalidName, false});

    main_ = app.WaitForTopLevel(kMainWindowClass);
    ASSERT_NE(main_, nullptr) << "the window did not open after the box";
    ExpectDesignValues();
    for (int attempt = 0; attempt < 2; ++attempt) {
        ChooseProtection(attempt + 1, attempt == 0 ? L"1" : L"2");
        PressSave();
        box = app.WaitForTopLevel(kDialogClass);
        ASSERT_NE(box, nullptr) << "no box on Save";
        CheckErrorBoxAndDismiss(box, main_, {invalidName, true});
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }, kStepTimeoutMs));
        EXPECT_EQ(ReadFileBytes(LongFolder::Long(settings)), std::optional<std::string>(kUserSettings));
        EXPECT_EQ(FolderEntries(LongFolder::Long(folder.Path())),
                  (std::vector<std::wstring>{L"KorvaneCFG.exe", L"game.dat"}));
    }
    PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_EQ(ReadFileBytes(LongFolder::Long(settings)), std::optional<std::string>(kUserSettings));
}

}  // namespace
}  // namespace e2e
