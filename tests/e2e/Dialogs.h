#pragma once
// Message boxes and task dialogs of the process under test, read from outside:
// caption, texts, buttons and which standard icon they show.
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/AppProcess.h"

namespace e2e {

enum class IconKind { None, Error, Warning, Information, Question, Other };
std::ostream& operator<<(std::ostream& out, IconKind kind);

struct DialogButton {
    int id = 0;
    std::wstring text;
    HWND window = nullptr;
};

struct DialogContent {
    std::wstring caption;
    std::wstring message;               // the message box text (item 0xFFFF), if any
    std::vector<std::wstring> texts;    // every non-empty static text, in window order
    std::vector<DialogButton> buttons;  // every visible button, in window order
    IconKind icon = IconKind::None;
};

inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr int kMessageTextId = 0xFFFF;

std::vector<HWND> VisibleDialogs(const AppProcess& app);
HWND WaitForDialog(const AppProcess& app, DWORD timeoutMs = kStartTimeoutMs);

// Reads a message box or a (Wine-drawn) task dialog.
DialogContent ReadDialog(HWND box);
// Which standard icon the dialog shows: its icon picture, compared on the
// screen with the system icons drawn by this process.
IconKind DialogIcon(HWND box);
// Clicks the button with the given id (posted: the click may end the box).
bool PressDialogButton(HWND box, int id);

}  // namespace e2e
