#pragma once
// Reading another process's windows the way UI-automation tools do: only
// through window handles, standard messages and the target's memory.
#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// A rectangle as position and size, which is how layouts are written down.
struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Box&) const = default;
};
void PrintTo(const Box& box, std::ostream* out);
std::ostream& operator<<(std::ostream& out, const Box& box);

std::string Narrow(std::wstring_view text);  // UTF-8, for messages
std::wstring ClassName(HWND window);
std::wstring WindowText(HWND window);
LONG_PTR Style(HWND window);
LONG_PTR ExStyle(HWND window);
inline bool HasStyle(HWND window, LONG_PTR bits) { return (Style(window) & bits) == bits; }
inline bool HasExStyle(HWND window, LONG_PTR bits) { return (ExStyle(window) & bits) == bits; }

// The window's outer rectangle in the client coordinates of `reference`
// (its parent, usually); in screen coordinates when `reference` is nullptr.
Box BoxIn(HWND window, HWND reference);
SIZE ClientSize(HWND window);

std::vector<HWND> Children(HWND parent);  // direct children only
HWND ChildById(HWND parent, int id);      // a direct child
HWND DescendantById(HWND root, int id);   // at any depth

// SendMessage that gives up instead of hanging on a stuck target.
std::optional<LRESULT> SendWithTimeout(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                       DWORD timeoutMs = 5000);
LRESULT SendOrZero(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

int CheckState(HWND button);          // BM_GETCHECK
unsigned EditLimit(HWND edit);        // EM_GETLIMITTEXT
HWND FocusOf(HWND anyWindowOfThread);  // the thread's keyboard focus, GetGUIThreadInfo
HWND ActiveOf(HWND anyWindowOfThread);

// A block of memory inside another process, for messages that pass pointers
// (the status bar's), read back after the message returns.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    bool Read(void* target, size_t size) const;
    bool Write(const void* source, size_t size) const;

private:
    HANDLE process_;
    void* address_ = nullptr;
};

// Status bar parts as the bar reports them: the right edges (-1 for "to the
// end"), each part's text, its drawing type flags (SBT_*), its rectangle.
std::vector<int> StatusBarParts(HWND bar, HANDLE process);
std::wstring StatusBarText(HWND bar, HANDLE process, int part);
unsigned StatusBarTextType(HWND bar, int part);
std::optional<RECT> StatusBarPartRect(HWND bar, HANDLE process, int part);

}  // namespace e2e
