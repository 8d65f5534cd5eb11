#pragma once
// Keyboard and mouse input for another process's windows, two ways:
// - posted keys go straight into the target thread's queue, whatever window is
//   in the foreground; modifier keys are set in the shared key state;
// - real input (SendInput) goes to the foreground window, as a user's would.
#include <windows.h>

#include <initializer_list>
#include <string_view>

namespace e2e {

enum class Modifier { None, Shift };

// Posts WM_KEYDOWN/WM_KEYUP for `key` to the window that has the keyboard
// focus in `top`'s thread, with Shift held when asked. Returns false when the
// thread has no focus window.
bool PostKey(HWND top, WORD key, Modifier modifier = Modifier::None);
// Posts WM_CHAR for each character to `window`.
void PostChars(HWND window, std::wstring_view text);

// Makes `top` the foreground window; false when it cannot be done in time.
bool BringToForeground(HWND top);
// The same, and waits until a window of its thread has the keyboard focus.
bool EnsureActiveWithFocus(HWND top);
// Presses the keys in order and releases them in reverse, as real input to
// the foreground window (e.g. {VK_MENU, VK_F4}); starts again when another
// window takes the foreground half-way. False when `top` does not keep it.
bool PressChord(HWND top, std::initializer_list<WORD> keys);
// A real left click at a screen position inside `top` (brought to the front
// first); false when another window is there.
bool ClickAt(HWND top, POINT screen);

// The screen point of the caption's close box, found by hit-testing.
bool FindCloseBox(HWND top, POINT& point);

// Waits until the target thread has handled what was posted to it: it then
// has no input waiting and answers a sent message.
void WaitForIdle(HANDLE process, HWND window);

}  // namespace e2e
