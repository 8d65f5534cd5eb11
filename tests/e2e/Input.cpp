#include "tests/e2e/Input.h"

#include <cstring>
#include <vector>

#include "tests/e2e/AppProcess.h"
#include "tests/e2e/Wait.h"
#include "tests/e2e/WindowQuery.h"

namespace e2e {

namespace {

// Shares the key state of the calling thread with the target's thread while
// it lives, with the requested modifiers held down.
class HeldModifiers {
public:
    HeldModifiers(DWORD targetThread, Modifier modifier) : target_(targetThread) {
        if (modifier == Modifier::None) return;
        attached_ = AttachThreadInput(GetCurrentThreadId(), target_, TRUE);
        GetKeyboardState(saved_);
        BYTE state[256];
        memcpy(state, saved_, sizeof state);
        state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldModifiers() {
        if (!attached_) return;
        SetKeyboardState(saved_);
        AttachThreadInput(GetCurrentThreadId(), target_, FALSE);
    }
    HeldModifiers(const HeldModifiers&) = delete;
    HeldModifiers& operator=(const HeldModifiers&) = delete;

private:
    DWORD target_;
    BOOL attached_ = FALSE;
    BYTE saved_[256] = {};
};

LPARAM KeyData(WORD key, bool release) {
    LPARAM data = 1 | (static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16);
    if (release) data |= (1LL << 30) | (1LL << 31);
    return data;
}

INPUT KeyInput(WORD key, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

bool PostKey(HWND top, WORD key, Modifier modifier) {
    HWND focus = FocusOf(top);
    if (!focus) return false;
    DWORD thread = GetWindowThreadProcessId(top, nullptr);
    HeldModifiers held(thread, modifier);
    PostMessageW(focus, WM_KEYDOWN, key, KeyData(key, false));
    PostMessageW(focus, WM_KEYUP, key, KeyData(key, true));
    // The modifiers must still be down when the target reads the key state:
    // wait until the target has taken the posted keys from its queue.
    DWORD process = 0;
    GetWindowThreadProcessId(top, &process);
    UniqueKernelHandle handle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    WaitForIdle(handle.get(), top);
    return true;
}

void PostChars(HWND window, std::wstring_view text) {
    for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
}

bool EnsureActiveWithFocus(HWND top) {
    return BringToForeground(top) && WaitUntil([&] { return FocusOf(top) != nullptr; }, kStepTimeoutMs);
}

bool BringToForeground(HWND top) {
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() == top) return true;
            SetForegroundWindow(top);
            return GetForegroundWindow() == top;
        },
        kStepTimeoutMs, 50);
}

bool PressChord(HWND top, std::initializer_list<WORD> keys) {
    // Other programs on the desktop may take the foreground at any moment; a
    // key must never reach their windows (Alt+F4 would close them), so the
    // foreground is checked before every single key event.
    std::vector<WORD> pressed;
    auto releaseAll = [&] {
        for (auto key = pressed.rbegin(); key != pressed.rend(); ++key) {
            INPUT up = KeyInput(*key, true);
            SendInput(1, &up, sizeof(INPUT));
        }
        pressed.clear();
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!BringToForeground(top)) continue;
        bool lost = false;
        for (WORD key : keys) {
            if (GetForegroundWindow() != top) {
                lost = true;
                break;
            }
            INPUT down = KeyInput(key, false);
            SendInput(1, &down, sizeof(INPUT));
            pressed.push_back(key);
        }
        releaseAll();
        if (!lost) return true;
    }
    return false;
}

bool ClickAt(HWND top, POINT screen) {
    // Like keys, a click must not land in another program's window; one that
    // covers the spot for a moment is waited out.
    if (!WaitUntil([&] { return BringToForeground(top) && GetAncestor(WindowFromPoint(screen), GA_ROOT) == top; },
                   kStepTimeoutMs, 50))
        return false;
    SetCursorPos(screen.x, screen.y);
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

bool FindCloseBox(HWND top, POINT& point) {
    RECT frame{};
    GetWindowRect(top, &frame);
    int captionBottom = frame.top + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME) + 4;
    for (int x = frame.right - 1; x > frame.left; --x)
        for (int y = frame.top; y < captionBottom; ++y)
            if (SendOrZero(top, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                // Step inside the box, away from its edge.
                point = POINT{x - 4, y + 4};
                return SendOrZero(top, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)) == HTCLOSE;
            }
    return false;
}

void WaitForIdle(HANDLE process, HWND window) {
    // Posted messages are handled after sent ones, so a sent message alone
    // proves nothing; wait for the input-idle state as well, then make sure
    // the thread answers.
    Sleep(20);
    if (process) WaitForInputIdle(process, kStepTimeoutMs);
    SendWithTimeout(window, WM_NULL);
    Sleep(20);
}

}  // namespace e2e
