#pragma once
// RAII owners for Win32 handles: one template with a release function per
// handle kind, and scoped owners for the pairs that must be undone in the
// same scope (a selected object, a paint, a DC).
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <type_traits>

template <auto Close>
struct THandleCloser {
    void operator()(auto handle) const { Close(handle); }
};
// An owner of a handle of type T that `Close` releases; null is none.
template <class T, auto Close>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<T>, THandleCloser<Close>>;

using UniqueFont = UniqueHandle<HFONT, DeleteObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteObject>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteObject>;
using UniquePen = UniqueHandle<HPEN, DeleteObject>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageList_Destroy>;
using UniqueMemoryDC = UniqueHandle<HDC, DeleteDC>;
using UniqueWindow = UniqueHandle<HWND, DestroyWindow>;
using UniqueModule = UniqueHandle<HMODULE, FreeLibrary>;
using UniqueFile = UniqueHandle<HANDLE, CloseHandle>;  // any kernel handle: a file, a mutex, a thread

// An owner for what CreateFileW or FindFirstFileW gives: INVALID_HANDLE_VALUE for none.
template <class Owner = UniqueFile>
Owner Owned(HANDLE handle) {
    return Owner(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// Selects a GDI object into a DC for the length of a scope.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(dc_, old_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A DC of a window (GetDC, or GetWindowDC for the whole window with its
// frame), released at the end of the scope.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window, bool withFrame = false)
        : window_(window), dc_(withFrame ? GetWindowDC(window) : GetDC(window)) {}
    ~ScopedWindowDC() { ReleaseDC(window_, dc_); }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    ~ScopedPaint() { EndPaint(window_, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};
