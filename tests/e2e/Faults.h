#pragma once
// Real faults for the configurator under test: files held open by this
// process, read-only and unreadable files, folders that cannot be written,
// and the checks every failure test makes on the error box, the window and
// the folder afterwards.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"

namespace e2e {

// The texts Wine's FormatMessageW gives for the codes the faults produce,
// without the final period, as the program puts them into its messages.
inline constexpr wchar_t kWineFileNotFound[] = L"File not found";
inline constexpr wchar_t kWineAccessDenied[] = L"Access denied";
inline constexpr wchar_t kWineSharingViolation[] = L"Sharing violation";

// The name under which a save writes the new content before it replaces game.dat.
inline constexpr wchar_t kSavingFile[] = L"game.dat.saving";

// What the application error box must show, once it is up.
struct ErrorBoxCheck {
    std::wstring text;
    // The box comes over the configuration window (a failed save) or before
    // it exists (a failure while loading at start-up).
    bool overMainWindow = true;
};

// Waits for the application error box, checks it (exact text, empty caption,
// error icon, one OK button, modal for the window) and presses OK. Returns the
// box that was shown, or nullptr when it did not come.
HWND ExpectErrorBoxAndDismiss(const AppProcess& app, HWND main, const ErrorBoxCheck& check);
// The same for a box already found.
void CheckErrorBoxAndDismiss(HWND box, HWND main, const ErrorBoxCheck& check);

// Waits for the fatal error box and checks it ("Application Error", error
// icon, one OK button, no owner; without the configuration window unless
// `windowMayExist`), presses OK and returns its text (empty when it did not come).
std::wstring ExpectFatalBoxAndDismiss(const AppProcess& app, bool windowMayExist = false);

// A configurator started from the Linux side ("wine <path>"), for an exe that
// Windows' CreateProcessW cannot start (a path longer than MAX_PATH). Wine
// gives no process handle for such a start: the process is found by its
// image path once it shows a window, and killed when the object goes.
class WineStartedApp {
public:
    WineStartedApp(const std::wstring& exePath, const std::wstring& workingFolder);
    ~WineStartedApp();
    WineStartedApp(const WineStartedApp&) = delete;
    WineStartedApp& operator=(const WineStartedApp&) = delete;

    // False when no window of the exe appeared.
    bool Found() const { return static_cast<bool>(process_); }
    bool IsRunning() const;
    HWND WaitForTopLevel(std::wstring_view className, DWORD timeoutMs = kStartTimeoutMs) const;
    HWND FindTopLevel(std::wstring_view className) const;
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = kExitTimeoutMs) const;

private:
    std::wstring exePath_;
    DWORD id_ = 0;
    UniqueFile process_;
};

// Makes `link` a Unix symbolic link to `target` and waits until it works.
bool MakeSymbolicLink(const std::wstring& link, const std::wstring& target);

// A file opened by this process, which is another process as far as the
// configurator is concerned; Wine enforces the share modes between them.
class HeldFile {
public:
    HeldFile(const std::wstring& path, DWORD access, DWORD share);
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool IsOpen() const { return static_cast<bool>(file_); }
    DWORD Error() const { return error_; }
    void Release() { file_.reset(); }
    // Everything the handle reads, from the file's start.
    std::optional<std::string> ReadAll() const;

private:
    UniqueFile file_;
    DWORD error_ = 0;
};

// Larger than the exe and its settings, far smaller than any real disk: a
// file system of at most this size is one a test may fill.
inline constexpr ULONGLONG kLargestSmallDisk = 64ull << 20;
// The size of the file system that holds `folder`.
std::optional<ULONGLONG> DiskSize(const std::wstring& folder);
// The folder that holds a folder (its path ending in a backslash).
std::wstring ParentOf(const std::wstring& folder);

// A file that takes every byte the disk has left, and gives them back when it goes.
class Filler {
public:
    explicit Filler(std::wstring path);
    ~Filler() { Remove(); }
    Filler(const Filler&) = delete;
    Filler& operator=(const Filler&) = delete;

    DWORD LastError() const { return lastError_; }
    bool Remove() { return DeleteFileW(path_.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; }

private:
    std::wstring path_;
    DWORD lastError_ = 0;
};

// Removes or grants write access to a folder (mode 0555 or 0755 on the Linux
// side, through the DACL that Wine turns into the mode). Without root, a
// folder that cannot be written refuses new files.
bool SetFolderWritable(const std::wstring& folder, bool writable);
// Takes every permission from a file (mode 0000) and gives them back (0644).
// Wine cannot open such a file even to change its permissions, so they come
// back through chmod itself.
bool MakeUnreadable(const std::wstring& file);
bool MakeReadableAgain(const std::wstring& file);
// False when the process can create a file in a folder it made unwritable:
// it then runs as root, for which Wine ignores permissions.
bool PermissionsAreEnforced(const std::wstring& scratchFolder);

// A test of one fault on a running configurator: the window, its Save
// button, and the checks that a save failed cleanly or succeeded.
class FaultTest : public AppTest {
protected:
    // Starts the configurator on `settings` and waits for its window.
    void StartOn(std::string_view settings);

    void PressSave() const;
    // Selects the protection item, as a click would, and waits until the
    // mode code follows: the window took the input.
    void ChooseProtection(int index, const wchar_t* code);

    // Presses Save and expects the error box with `text`; afterwards the
    // window is open and enabled, game.dat holds `settingsBefore` (or is
    // still missing when nullopt), and nothing else is left in the folder.
    void ExpectSaveFails(const std::wstring& text, const std::optional<std::string>& settingsBefore);
    // Presses Save and expects the "Success!" notice, the end of the process
    // with exit code 0, and `settingsAfter` in game.dat.
    void ExpectSaveSucceeds(const std::string& settingsAfter);

    // The full path of game.dat as the program names it in its messages.
    std::wstring SettingsPath() const { return Folder().PathOf(kSettingsFile); }
    // Only the exe and game.dat (when present) lie in the folder.
    void ExpectNothingElseInTheFolder() const;

    // The values the window shows before loading changes anything.
    void ExpectDesignValues() const;
};

// Settings with a value of every kind different from the defaults, and an
// unknown line, so that any rewrite or re-creation would show.
inline constexpr char kUserSettings[] =
    "[DEFAULT]\r\n"
    "PROTECTION_ID = 9\r\n"
    "PROTECTION_MODE = 2\r\n"
    "PROTECTION_CHRONICLE = 3\r\n"
    "PROTECTION_LOGO = 0\r\n"
    "PROTECTION_CLIENT_ID = 321\r\n"
    "; kept by the user\r\n";

// kUserSettings after choosing FULL and saving.
inline constexpr char kUserSettingsSavedFull[] =
    "[DEFAULT]\r\n"
    "PROTECTION_ID = 9\r\n"
    "PROTECTION_MODE = 1\r\n"
    "PROTECTION_CHRONICLE = 3\r\n"
    "PROTECTION_LOGO = 0\r\n"
    "PROTECTION_CLIENT_ID = 321\r\n"
    "; kept by the user\r\n";

// kUserSettings saved from a window that kept its design values after a
// failed load: mode 0, chronicle 0, logo off, an empty build ID.
inline constexpr char kUserSettingsSavedFromDesign[] =
    "[DEFAULT]\r\n"
    "PROTECTION_ID = 9\r\n"
    "PROTECTION_MODE = 0\r\n"
    "PROTECTION_CHRONICLE = 0\r\n"
    "PROTECTION_LOGO = 0\r\n"
    "PROTECTION_CLIENT_ID = 0\r\n"
    "; kept by the user\r\n";

std::wstring CannotOpenText(const std::wstring& path, const wchar_t* systemText);
std::wstring CannotCreateText(const std::wstring& path, const wchar_t* systemText);

}  // namespace e2e
