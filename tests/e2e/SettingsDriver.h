#pragma once
// Driving the settings through the real configurator: what the window shows
// of them, changing them as a user would, and the save with its notice.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/Harness.h"

namespace e2e {

// The six lines a new game.dat gets, each ended by CR LF: 124 bytes.
inline constexpr char kDefaultSettingsBytes[] =
    "[DEFAULT]\r\n"
    "PROTECTION_ID = 0\r\n"
    "PROTECTION_MODE = 0\r\n"
    "PROTECTION_CHRONICLE = 0\r\n"
    "PROTECTION_LOGO = 1\r\n"
    "PROTECTION_CLIENT_ID = 0\r\n";

inline constexpr wchar_t kSavingTempFile[] = L"game.dat.saving";

// No item of a radio group checked.
inline constexpr int kNoItem = -1;
// More than one item checked: never a valid state.
inline constexpr int kSeveralItems = -2;

// The settings as the window holds them.
struct ShownSettings {
    std::wstring mode;       // hidden edit pMode
    std::wstring chronicle;  // hidden edit pCronic
    std::wstring buildId;    // DLLKey
    bool logo = false;       // ShowCustomLogo checked
    int protectionItem = kNoItem;
    int chronicleItem = kNoItem;
    bool operator==(const ShownSettings&) const = default;
};
void PrintTo(const ShownSettings& shown, std::ostream* out);

ShownSettings ReadShown(HWND main);
// The index of the checked item of a three-item group, kNoItem or kSeveralItems.
int CheckedItem(HWND main, int groupId);

// Joins lines, each followed by CR LF.
std::string CrLfLines(std::initializer_list<std::string_view> lines);
// A large settings file with the given protection mode code, then
// `fillerLines` lines of about 64 bytes. Only the mode line differs between codes:
// old and new are the same size.
std::string LargeSettings(char mode, int fillerLines = 64000);
// Bytes printed so that control characters and line breaks can be seen.
std::string Visible(std::string_view bytes);

// Expects a file's bytes to be exactly `expected`.
void ExpectBytes(const std::optional<std::string>& actual, std::string_view expected);

// Puts text on the clipboard from this process, for a paste into the target.
class ClipboardText {
public:
    explicit ClipboardText(std::wstring_view text);
    ~ClipboardText();
    ClipboardText(const ClipboardText&) = delete;
    ClipboardText& operator=(const ClipboardText&) = delete;
    bool Placed() const { return placed_; }

private:
    HWND owner_ = nullptr;  // the clipboard needs an owner window for its data
    bool placed_ = false;
};

// A test that starts the configurator on a given game.dat and drives it.
class SettingsTest : public AppTest {
protected:
    void SetUp() override;

    // Writes game.dat and starts the configurator on it.
    HWND StartWith(std::string_view settings, const LaunchOptions& options = {});
    ShownSettings Shown() const { return ReadShown(Main()); }

    // Clicks an item of a radio group, as a user would.
    void Choose(int groupId, int index);
    void ClickLogo();
    // Replaces the build ID field's text by typing `typed` over a selection
    // of all of it.
    void TypeOverBuildId(std::wstring_view typed);
    // Types at the end of the build ID field.
    void TypeAtEndOfBuildId(std::wstring_view typed);
    // Pastes the clipboard into the build ID field.
    void PasteIntoBuildId();

    // Presses Save and expects the notice, with `expected` already on disk
    // and, unless other readers may hold it, the file closed while the notice
    // is up; then OK ends the process with 0 and leaves in the folder the
    // files that were there before, and nothing else.
    enum class OtherReaders { None, Some };
    void SaveExpecting(std::string_view expected, OtherReaders otherReaders = OtherReaders::None);
    // Presses Save and waits for the notice (nullptr when none came).
    HWND PressSave();

    // Closes the window without saving and expects exit code 0.
    void CloseWithoutSaving();
    // Waits until the process has handled what was posted to it.
    void Settle();

    bool LeftoverTempFile() const { return Folder().Exists(kSavingTempFile); }
};

}  // namespace e2e
