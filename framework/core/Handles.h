#pragma once
// RAII owners for Win32 handles: one template, a deleter per handle kind.
#include <windows.h>
#include <commctrl.h>

#include <utility>

template <class T, class Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    T get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }
    T release() { return std::exchange(handle_, Traits::Invalid()); }
    void reset(T handle = Traits::Invalid()) {
        if (Traits::IsValid(handle_)) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    T handle_ = Traits::Invalid();
};

template <class T, auto CloseFn>
struct NullHandleTraits {
    static T Invalid() { return nullptr; }
    static bool IsValid(T h) { return h != nullptr; }
    static void Close(T h) { CloseFn(h); }
};

struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }
inline void DestroyImageList(HIMAGELIST list) { ImageList_Destroy(list); }
inline void DestroyIconHandle(HICON icon) { DestroyIcon(icon); }
inline void DeleteDeviceContext(HDC dc) { DeleteDC(dc); }
inline void DestroyWindowHandle(HWND window) { DestroyWindow(window); }
inline void FreeModuleHandle(HMODULE module) { FreeLibrary(module); }

using UniqueFile = UniqueHandle<HANDLE, FileHandleTraits>;
using UniqueFont = UniqueHandle<HFONT, NullHandleTraits<HFONT, DeleteGdiObject>>;
using UniqueBitmap = UniqueHandle<HBITMAP, NullHandleTraits<HBITMAP, DeleteGdiObject>>;
using UniqueBrush = UniqueHandle<HBRUSH, NullHandleTraits<HBRUSH, DeleteGdiObject>>;
using UniquePen = UniqueHandle<HPEN, NullHandleTraits<HPEN, DeleteGdiObject>>;
using UniqueImageList = UniqueHandle<HIMAGELIST, NullHandleTraits<HIMAGELIST, DestroyImageList>>;
using UniqueIcon = UniqueHandle<HICON, NullHandleTraits<HICON, DestroyIconHandle>>;
using UniqueMemoryDC = UniqueHandle<HDC, NullHandleTraits<HDC, DeleteDeviceContext>>;
using UniqueWindow = UniqueHandle<HWND, NullHandleTraits<HWND, DestroyWindowHandle>>;
using UniqueModule = UniqueHandle<HMODULE, NullHandleTraits<HMODULE, FreeModuleHandle>>;

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

// A window DC from GetDC, released at the end of the scope.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDC() { ReleaseDC(window_, dc_); }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint/EndPaint.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
    ~ScopedPaint() { EndPaint(window_, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC dc() const { return dc_; }
    const RECT& dirty() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};
