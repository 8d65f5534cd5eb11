#pragma once
// The configurator as a process under test: started with chosen arguments,
// working folder and show state, observed from outside, and never left running.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/core/Handles.h"
#include "tests/e2e/Wait.h"

namespace e2e {

using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandle>;

// A kernel handle from a call that fails with INVALID_HANDLE_VALUE rather
// than null (CreateFileW, CreateToolhelp32Snapshot).
class UniqueFile : public UniqueKernelHandle {
public:
    explicit UniqueFile(HANDLE handle = nullptr)
        : UniqueKernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
};

struct LaunchOptions {
    std::vector<std::wstring> args;      // quoted when they hold blanks
    std::wstring workingFolder;          // empty: the folder of the exe
    WORD showCommand = SW_SHOWNORMAL;    // passed with STARTF_USESHOWWINDOW
    // LC_ALL of the process, from which Wine takes its ANSI code page.
    // Empty: this process's.
    std::wstring locale;

    LaunchOptions& Args(std::vector<std::wstring> value) { args = std::move(value); return *this; }
    LaunchOptions& In(std::wstring folder) { workingFolder = std::move(folder); return *this; }
    LaunchOptions& Show(WORD command) { showCommand = command; return *this; }
    LaunchOptions& Locale(std::wstring value) { locale = std::move(value); return *this; }
};

class AppProcess {
public:
    AppProcess(const std::wstring& exePath, const LaunchOptions& options);
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    bool IsRunning() const;

    // Every top-level window of the process, visible or not.
    std::vector<HWND> TopLevelWindows() const;
    std::vector<HWND> VisibleTopLevelWindows() const;
    HWND FindTopLevel(std::wstring_view className, bool visibleOnly = true) const;
    // Waits for a visible top-level window of the class; nullptr on timeout or
    // when the process ends first.
    HWND WaitForTopLevel(std::wstring_view className, DWORD timeoutMs = kStartTimeoutMs) const;
    // Waits until the process shows any top-level window; false when it ends
    // (or the time runs out) without having shown one.
    bool WaitForFirstWindow(DWORD timeoutMs = kStartTimeoutMs) const;
    // The configuration window, once visible and ready for input.
    HWND WaitForMainWindow(DWORD timeoutMs = kStartTimeoutMs) const;
    HWND ApplicationWindow() const;

    // What the process is doing, for failure messages: running or its exit
    // code, and its top-level windows.
    std::string Describe() const;

    // The exit code, or nothing when the process is still running at the timeout.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = kExitTimeoutMs) const;
    void Kill();

private:
    void StartDirectly(const std::wstring& exePath, const std::wstring& folder, const LaunchOptions& options);
    void StartInLocale(const std::wstring& exePath, const std::wstring& folder, const std::wstring& locale);

    UniqueKernelHandle job_;
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

// The Linux path of a path of this process ("Z:\tmp\x" is "/tmp/x").
std::optional<std::string> UnixPath(const std::wstring& path);
// Starts a Linux program. Wine runs it with fork and exec and hands back no
// process to wait for: callers wait for its effect instead.
bool StartLinuxProgram(std::wstring commandLine);
// The process whose image is `image`, once Wine has started it; 0 if none.
DWORD ProcessOfImage(const std::wstring& image);
std::wstring WidenUtf8(const std::string& utf8);

// Builds a command line: the exe in quotes, then the arguments.
std::wstring CommandLine(const std::wstring& exePath, const std::vector<std::wstring>& args);
std::wstring FolderOf(const std::wstring& path);

}  // namespace e2e
