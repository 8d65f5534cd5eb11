#include "tests/e2e/WindowQuery.h"

#include <commctrl.h>

#include <stdexcept>

namespace e2e {

void PrintTo(const Box& box, std::ostream* out) { *out << box; }

std::ostream& operator<<(std::ostream& out, const Box& box) {
    return out << "(" << box.left << ", " << box.top << ") " << box.width << " x " << box.height;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring WindowText(HWND window) {
    LRESULT length = SendOrZero(window, WM_GETTEXTLENGTH);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = SendOrZero(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

LONG_PTR Style(HWND window) { return GetWindowLongPtrW(window, GWL_STYLE); }
LONG_PTR ExStyle(HWND window) { return GetWindowLongPtrW(window, GWL_EXSTYLE); }

Box BoxIn(HWND window, HWND reference) {
    RECT rect{};
    GetWindowRect(window, &rect);
    if (reference) MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&rect), 2);
    return Box{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

SIZE ClientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return SIZE{rect.right, rect.bottom};
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND ChildById(HWND parent, int id) {
    for (HWND child : Children(parent))
        if (GetDlgCtrlID(child) == id) return child;
    return nullptr;
}

HWND DescendantById(HWND root, int id) {
    for (HWND child : Children(root)) {
        if (GetDlgCtrlID(child) == id) return child;
        if (HWND found = DescendantById(child, id)) return found;
    }
    return nullptr;
}

std::optional<LRESULT> SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    SetLastError(ERROR_SUCCESS);
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &result) &&
        GetLastError() != ERROR_SUCCESS)
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

LRESULT SendOrZero(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendWithTimeout(window, message, wParam, lParam).value_or(0);
}

int CheckState(HWND button) { return static_cast<int>(SendOrZero(button, BM_GETCHECK)); }

unsigned EditLimit(HWND edit) { return static_cast<unsigned>(SendOrZero(edit, EM_GETLIMITTEXT)); }

HWND FocusOf(HWND anyWindowOfThread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

HWND ActiveOf(HWND anyWindowOfThread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info)) return nullptr;
    return info.hwndActive;
}

RemoteBuffer::RemoteBuffer(HANDLE process, size_t size)
    : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
    if (!address_) throw std::runtime_error("VirtualAllocEx failed");
}

RemoteBuffer::~RemoteBuffer() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }

bool RemoteBuffer::Read(void* target, size_t size) const {
    SIZE_T done = 0;
    return ReadProcessMemory(process_, address_, target, size, &done) && done == size;
}

bool RemoteBuffer::Write(const void* source, size_t size) const {
    SIZE_T done = 0;
    return WriteProcessMemory(process_, address_, source, size, &done) && done == size;
}

std::vector<int> StatusBarParts(HWND bar, HANDLE process) {
    constexpr int kMaxParts = 256;  // the most a status bar holds
    RemoteBuffer buffer(process, sizeof(int) * kMaxParts);
    LRESULT count = SendOrZero(bar, SB_GETPARTS, kMaxParts, buffer.Address());
    std::vector<int> edges(static_cast<size_t>(count));
    if (count > 0 && !buffer.Read(edges.data(), edges.size() * sizeof(int))) edges.clear();
    return edges;
}

std::wstring StatusBarText(HWND bar, HANDLE process, int part) {
    size_t length = LOWORD(SendOrZero(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part)));
    std::wstring text(length + 1, L'\0');
    RemoteBuffer buffer(process, text.size() * sizeof(wchar_t));
    buffer.Write(text.data(), text.size() * sizeof(wchar_t));
    SendOrZero(bar, SB_GETTEXTW, static_cast<WPARAM>(part), buffer.Address());
    buffer.Read(text.data(), text.size() * sizeof(wchar_t));
    text.resize(length);
    return text;
}

unsigned StatusBarTextType(HWND bar, int part) {
    return HIWORD(SendOrZero(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part)));
}

std::optional<RECT> StatusBarPartRect(HWND bar, HANDLE process, int part) {
    RemoteBuffer buffer(process, sizeof(RECT));
    if (!SendOrZero(bar, SB_GETRECT, static_cast<WPARAM>(part), buffer.Address())) return std::nullopt;
    RECT rect{};
    if (!buffer.Read(&rect, sizeof rect)) return std::nullopt;
    return rect;
}

}  // namespace e2e
