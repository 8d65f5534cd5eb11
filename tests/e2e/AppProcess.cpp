#include "tests/e2e/AppProcess.h"

#include <stdexcept>

#include "tests/e2e/WindowQuery.h"

namespace e2e {

namespace {

struct EnumState {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == state->processId) state->windows.push_back(window);
    return TRUE;
}

std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    return L"\"" + arg + L"\"";
}

// A job that kills the process when the test's handle to it closes, so not
// even a crashed test leaves a configurator behind. Processes it starts stay
// out of the job: under Wine the first program that needs the desktop starts
// the desktop process (explorer), and killing that with the job would leave
// the desktop broken for every program that comes after.
UniqueKernelHandle CreateKillOnCloseJob() {
    UniqueKernelHandle job(CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
    SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

}  // namespace

std::wstring CommandLine(const std::wstring& exePath, const std::vector<std::wstring>& args) {
    std::wstring line = L"\"" + exePath + L"\"";
    for (const std::wstring& arg : args) line += L" " + Quoted(arg);
    return line;
}

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

AppProcess::AppProcess(const std::wstring& exePath, const LaunchOptions& options) : job_(CreateKillOnCloseJob()) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = options.showCommand;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = CommandLine(exePath, options.args);
    std::wstring folder = options.workingFolder.empty() ? FolderOf(exePath) : options.workingFolder;
    // Wine now and then fails a start under load with an internal error
    // (1359); the same start a moment later succeeds.
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                           folder.c_str(), &startup, &info)) {
            error = ERROR_SUCCESS;
            break;
        }
        error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR) break;
        Sleep(200);
    }
    if (error != ERROR_SUCCESS) throw std::runtime_error("CreateProcessW failed with " + std::to_string(error));
    process_.reset(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    id_ = info.dwProcessId;
    if (job_) AssignProcessToJobObject(job_.get(), process_.get());
    ResumeThread(thread.get());
}

AppProcess::~AppProcess() { Kill(); }

bool AppProcess::IsRunning() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::vector<HWND> AppProcess::TopLevelWindows() const {
    EnumState state{id_, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&state));
    return state.windows;
}

std::vector<HWND> AppProcess::VisibleTopLevelWindows() const {
    std::vector<HWND> visible;
    for (HWND window : TopLevelWindows())
        if (IsWindowVisible(window)) visible.push_back(window);
    return visible;
}

HWND AppProcess::FindTopLevel(std::wstring_view className, bool visibleOnly) const {
    for (HWND window : TopLevelWindows())
        if (ClassName(window) == className && (!visibleOnly || IsWindowVisible(window))) return window;
    return nullptr;
}

HWND AppProcess::WaitForTopLevel(std::wstring_view className, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevel(className)) != nullptr || !IsRunning(); }, timeoutMs);
    return found;
}

bool AppProcess::WaitForFirstWindow(DWORD timeoutMs) const {
    bool shown = false;
    WaitUntil([&] { return (shown = !VisibleTopLevelWindows().empty()) || !IsRunning(); }, timeoutMs);
    return shown || !VisibleTopLevelWindows().empty();
}

HWND AppProcess::WaitForMainWindow(DWORD timeoutMs) const {
    HWND window = WaitForTopLevel(L"TKvgCFG", timeoutMs);
    if (window) WaitForInputIdle(process_.get(), kStepTimeoutMs);
    return window;
}

HWND AppProcess::ApplicationWindow() const { return FindTopLevel(L"TApplication", false); }

std::optional<DWORD> AppProcess::WaitForExit(DWORD timeoutMs) const {
    if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::string AppProcess::Describe() const {
    std::string text;
    if (std::optional<DWORD> code = WaitForExit(0))
        text = "ended with exit code " + std::to_string(*code);
    else
        text = "running";
    text += "; top-level windows:";
    for (HWND window : TopLevelWindows()) {
        text += " [" + Narrow(ClassName(window)) + " \"" + Narrow(WindowText(window)) + "\"" +
                (IsWindowVisible(window) ? " visible]" : " hidden]");
    }
    return text;
}

void AppProcess::Kill() {
    if (!process_) return;
    if (IsRunning()) {
        TerminateProcess(process_.get(), 0xDEAD);
        WaitForSingleObject(process_.get(), kExitTimeoutMs);
    }
}

}  // namespace e2e
