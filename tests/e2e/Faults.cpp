#include "tests/e2e/Faults.h"

#include <sddl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <iostream>

namespace e2e {

namespace {

// Wine turns a file's DACL into its Unix mode: the owner's and everyone's
// rights become the user and other bits.
bool SetDacl(const std::wstring& path, const std::wstring& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    const BOOL done = SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    return done != FALSE;
}

// This process's user, as a SID string.
std::wstring UserSid() {
    UniqueFile token;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    token.reset(raw);
    std::vector<BYTE> buffer(256);
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size))
        return {};
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
    std::wstring sid = text;
    LocalFree(text);
    return sid;
}

// Read and traverse for everyone; full access for the user when `writable`.
std::wstring FolderDacl(bool writable) {
    return L"D:P(A;;" + std::wstring(writable ? L"FA" : L"FRFX") + L";;;" + UserSid() + L")(A;;FRFX;;;WD)";
}

constexpr wchar_t kNothing[] = L"D:P";

bool CanOpenForReading(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

BOOL CALLBACK CollectWindowOf(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found->first) found->second.push_back(window);
    return TRUE;
}

std::vector<HWND> WindowsOf(DWORD processId) {
    std::pair<DWORD, std::vector<HWND>> found{processId, {}};
    EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

}  // namespace

bool MakeSymbolicLink(const std::wstring& link, const std::wstring& target) {
    const std::optional<std::string> unixLink = UnixPath(link), unixTarget = UnixPath(target);
    if (!unixLink || !unixTarget ||
        !StartLinuxProgram(L"/bin/ln -s \"" + WidenUtf8(*unixTarget) + L"\" \"" + WidenUtf8(*unixLink) + L"\""))
        return false;
    return WaitUntil([&] { return CanOpenForReading(link); }, kStepTimeoutMs);
}

WineStartedApp::WineStartedApp(const std::wstring& exePath, const std::wstring& workingFolder)
    : exePath_(exePath) {
    const std::optional<std::string> exe = UnixPath(exePath);
    const std::optional<std::string> folder = UnixPath(workingFolder);
    if (!exe || !folder) return;
    // The environment, WINEPREFIX included, passes on to the new process.
    const std::wstring command =
        L"/bin/sh -c \"cd '" + WidenUtf8(*folder) + L"' && exec wine '" + WidenUtf8(*exe) + L"'\"";
    // A process that starts just as Wine's virtual desktop closes ends
    // without a window: such a start is made once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        process_.reset();
        if (!StartLinuxProgram(command)) return;
        WaitUntil([&] { return (id_ = ProcessOfImage(exePath_)) != 0; }, kStartTimeoutMs, 20);
        if (!id_) return;
        process_.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id_));
        if (!process_) return;
        bool shown = false;
        WaitUntil([&] {
            for (HWND window : WindowsOf(id_))
                if (IsWindowVisible(window)) shown = true;
            return shown || !IsRunning();
        }, kStartTimeoutMs);
        if (shown) return;
        std::cerr << "note: the configurator ended without a window; starting it again\n";
    }
}

WineStartedApp::~WineStartedApp() {
    if (IsRunning()) {
        TerminateProcess(process_.get(), 0xDEAD);
        WaitForSingleObject(process_.get(), kExitTimeoutMs);
    }
}

bool WineStartedApp::IsRunning() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

HWND WineStartedApp::FindTopLevel(std::wstring_view className) const {
    for (HWND window : WindowsOf(id_))
        if (IsWindowVisible(window) && ClassName(window) == className) return window;
    return nullptr;
}

HWND WineStartedApp::WaitForTopLevel(std::wstring_view className, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevel(className)) != nullptr || !IsRunning(); }, timeoutMs);
    if (found) {
        WaitForInputIdle(process_.get(), kStepTimeoutMs);
        Sleep(100);  // the box's first painting, before its icon is read
    }
    return found;
}

std::optional<DWORD> WineStartedApp::WaitForExit(DWORD timeoutMs) const {
    if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::wstring CannotOpenText(const std::wstring& path, const wchar_t* systemText) {
    return L"Cannot open file \"" + path + L"\". " + systemText + L".";
}

std::wstring CannotCreateText(const std::wstring& path, const wchar_t* systemText) {
    return L"Cannot create file \"" + path + L"\". " + systemText + L".";
}

HWND ExpectErrorBoxAndDismiss(const AppProcess& app, HWND main, const ErrorBoxCheck& check) {
    HWND box = WaitForDialog(app);
    if (!box) {
        ADD_FAILURE() << "no error box; expected \"" << Narrow(check.text) << "\"";
        return nullptr;
    }
    EXPECT_EQ(VisibleDialogs(app).size(), 1u) << "more than one box at a time";
    if (!check.overMainWindow) {
        EXPECT_EQ(app.FindTopLevel(kMainWindowClass), nullptr) << "the window showed before the box";
    }
    CheckErrorBoxAndDismiss(box, main, check);
    return box;
}

std::wstring ExpectFatalBoxAndDismiss(const AppProcess& app, bool windowMayExist) {
    HWND box = WaitForDialog(app);
    if (!box) {
        ADD_FAILURE() << "no fatal error box; the process " << app.Describe();
        return {};
    }
    DialogContent content = ReadDialog(box);
    EXPECT_EQ(content.caption, L"Application Error");
    if (content.icon != IconKind::Error && BringToForeground(box)) content.icon = DialogIcon(box);
    EXPECT_EQ(content.icon, IconKind::Error);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    EXPECT_EQ(content.buttons.size(), 1u);
    if (!content.buttons.empty()) {
        EXPECT_EQ(content.buttons[0].text, L"OK");
    }
    if (!windowMayExist) {
        EXPECT_EQ(app.FindTopLevel(kMainWindowClass, false), nullptr) << "the window was created";
    }
    if (!content.buttons.empty()) PressDialogButton(box, content.buttons[0].id);
    return content.message;
}

void CheckErrorBoxAndDismiss(HWND box, HWND main, const ErrorBoxCheck& check) {
    // A text without blanks cannot wrap: a long path makes the box wider than
    // the screen, centred, with its icon off the left edge. The icon is read
    // off the screen, so the box is moved into view first.
    RECT area{};
    GetWindowRect(box, &area);
    if (area.left < 0) {
        SetWindowPos(box, nullptr, 0, area.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(100);
    }
    DialogContent content = ReadDialog(box);
    EXPECT_EQ(Narrow(content.message), Narrow(check.text));
    EXPECT_EQ(content.caption, L"") << "the application error box has a blank title";
    // The icon is read off the screen: a window of another program that
    // covers the box hides it.
    if (content.icon != IconKind::Error && BringToForeground(box)) content.icon = DialogIcon(box);
    EXPECT_EQ(content.icon, IconKind::Error);
    EXPECT_EQ(content.buttons.size(), 1u);
    if (!content.buttons.empty()) {
        EXPECT_EQ(content.buttons[0].id, IDOK);
        EXPECT_EQ(content.buttons[0].text, L"OK");
    }
    if (check.overMainWindow) {
        EXPECT_EQ(GetWindow(box, GW_OWNER), main) << "the box is not owned by the window";
        EXPECT_FALSE(IsWindowEnabled(main)) << "the window takes input under the box";
    }
    EXPECT_TRUE(PressDialogButton(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kStepTimeoutMs))
        << "the box did not close";
}

HeldFile::HeldFile(const std::wstring& path, DWORD access, DWORD share)
    : file_(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!file_) error_ = GetLastError();
}

std::optional<std::string> HeldFile::ReadAll() const {
    if (!SetFilePointerEx(file_.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file_.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

std::optional<ULONGLONG> DiskSize(const std::wstring& folder) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(folder.c_str(), &available, &total, &free)) return std::nullopt;
    return total.QuadPart;
}

std::wstring ParentOf(const std::wstring& folder) { return FolderOf(folder.substr(0, folder.size() - 1)); }

Filler::Filler(std::wstring path) : path_(std::move(path)) {
    UniqueFile file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const std::string block(64 * 1024, 'x');
    // Smaller and smaller writes, down to single bytes, so that not even
    // the last page of the file system stays free.
    for (DWORD size : {64u * 1024u, 4096u, 1u}) {
        DWORD written = 0;
        while (WriteFile(file.get(), block.data(), size, &written, nullptr) && written == size) {
        }
        lastError_ = GetLastError();
    }
}

bool SetFolderWritable(const std::wstring& folder, bool writable) {
    return SetDacl(folder, FolderDacl(writable));
}

bool MakeUnreadable(const std::wstring& file) { return SetDacl(file, kNothing) && !CanOpenForReading(file); }

bool MakeReadableAgain(const std::wstring& file) {
    const std::optional<std::string> unixPath = UnixPath(file);
    if (!unixPath || !StartLinuxProgram(L"/bin/chmod 0644 \"" + WidenUtf8(*unixPath) + L"\"")) return false;
    return WaitUntil([&] { return CanOpenForReading(file); }, kStepTimeoutMs);
}

bool PermissionsAreEnforced(const std::wstring& scratchFolder) {
    if (!SetFolderWritable(scratchFolder, false)) return false;
    const std::wstring probe = scratchFolder + L"probe";
    const bool created = static_cast<bool>(
        UniqueFile(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (created) DeleteFileW(probe.c_str());
    SetFolderWritable(scratchFolder, true);
    return !created;
}

// --- FaultTest ---------------------------------------------------------------------

void FaultTest::StartOn(std::string_view settings) {
    WriteSettings(settings);
    ASSERT_NE(StartMain(), nullptr);
}

void FaultTest::PressSave() const { PostMessageW(Control(kIdSave), BM_CLICK, 0, 0); }

void FaultTest::ChooseProtection(int index, const wchar_t* code) {
    HWND item = Control(RadioItemId(kIdProtectionGrp, index));
    ASSERT_NE(item, nullptr);
    PostMessageW(item, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(Control(kIdPMode)) == code; }, kStepTimeoutMs))
        << "the window took no input: the mode code is " << Narrow(WindowText(Control(kIdPMode)));
    EXPECT_EQ(CheckState(item), BST_CHECKED);
}

void FaultTest::ExpectSaveFails(const std::wstring& text, const std::optional<std::string>& settingsBefore) {
    PressSave();
    ExpectErrorBoxAndDismiss(App(), Main(), {text, true});
    // No notice follows and the window stays, enabled and open.
    EXPECT_FALSE(WaitUntil([&] { return !VisibleDialogs(App()).empty(); }, kQuietPeriodMs))
        << "a second box followed the error box";
    EXPECT_TRUE(App().IsRunning());
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Main()) != FALSE; }, kStepTimeoutMs))
        << "the window stays disabled after the box";
    // The click gave the button the focus; the box gives it back, unless a
    // window of another program has taken the activation meanwhile.
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(Main()) == Control(kIdSave) || ActiveOf(Main()) != Main(); },
                          kStepTimeoutMs))
        << "the focus did not return to Save";
    EXPECT_EQ(ReadSettings(), settingsBefore) << "a failed save changed game.dat";
    ExpectNothingElseInTheFolder();
}

void FaultTest::ExpectSaveSucceeds(const std::string& settingsAfter) {
    PressSave();
    HWND box = WaitForDialog(App());
    ASSERT_NE(box, nullptr) << "no notice after the save";
    DialogContent content = ReadDialog(box);
    EXPECT_EQ(content.message, L"Success!");
    EXPECT_EQ(content.caption, L"Korvane Configurator");
    EXPECT_EQ(content.icon, IconKind::Information);
    EXPECT_EQ(ReadSettings(), std::optional<std::string>(settingsAfter));
    ExpectNothingElseInTheFolder();
    EXPECT_TRUE(PressDialogButton(box, IDOK));
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(0));
}

void FaultTest::ExpectNothingElseInTheFolder() const {
    std::vector<std::wstring> expected{L"KorvaneCFG.exe"};
    if (Folder().Exists(kSettingsFile)) expected.push_back(kSettingsFile);
    std::sort(expected.begin(), expected.end());
    std::vector<std::wstring> found = FolderEntries(Folder().Path());
    std::string listing;
    for (const std::wstring& name : found) {
        listing += ' ';
        listing += Narrow(name);
    }
    EXPECT_EQ(found, expected) << "the folder holds:" << listing;
}

void FaultTest::ExpectDesignValues() const {
    EXPECT_EQ(WindowText(Control(kIdPMode)), L"0");
    EXPECT_EQ(WindowText(Control(kIdPCronic)), L"0");
    EXPECT_EQ(WindowText(Control(kIdDLLKey)), L"");
    EXPECT_EQ(CheckState(Control(kIdShowCustomLogo)), BST_UNCHECKED);
    EXPECT_EQ(CheckState(Control(RadioItemId(kIdProtectionGrp, 0))), BST_CHECKED);
    EXPECT_EQ(CheckState(Control(RadioItemId(kIdChronicleGrp, 0))), BST_CHECKED);
}

}  // namespace e2e
