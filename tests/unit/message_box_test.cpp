// The application's message box while memory runs out. Before the box comes
// up it disables the thread's other windows, collecting them in a callback
// that Windows calls; an error there must reach the caller like any other
// and leave no window disabled. (No C++ exception can pass through Windows'
// frames in a 32-bit build: the process would simply end.)
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <new>
#include <string>

#include "framework/core/Application.h"

namespace {
std::atomic<bool> failAllocations{false};

// Every allocation of this thread fails while one of these lives.
struct FailingAllocations {
    FailingAllocations() { failAllocations = true; }
    ~FailingAllocations() { failAllocations = false; }
};
}  // namespace

// The test program's own allocation functions, so that a test can make them fail.
void* operator new(std::size_t size) {
    if (failAllocations) throw std::bad_alloc();
    if (void* memory = HeapAlloc(GetProcessHeap(), 0, size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { HeapFree(GetProcessHeap(), 0, memory); }
void operator delete(void* memory, std::size_t) noexcept { HeapFree(GetProcessHeap(), 0, memory); }

namespace {
struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

Window VisiblePopup() {
    return Window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
}
}  // namespace

TEST(ApplicationMessageBox, OutOfMemoryWhileDisablingTheOtherWindowsReachesTheCaller) {
    std::unique_ptr<TApplication> application;
    if (!Application) application = std::make_unique<TApplication>();
    // At most one of them is the active window, which the box takes as its
    // owner; the other is one to disable.
    Window first = VisiblePopup(), second = VisiblePopup();
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(IsWindowVisible(first.get()) && IsWindowVisible(second.get()));

    const std::wstring text = L"never shown, since the box fails first", caption;
    const auto show = [&] {
        FailingAllocations failing;
        Application->MessageBox(text, caption, MB_OK);
    };
    EXPECT_THROW(show(), std::bad_alloc);
    EXPECT_TRUE(IsWindowEnabled(first.get()));
    EXPECT_TRUE(IsWindowEnabled(second.get()));
}
