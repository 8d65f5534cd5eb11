#include "tests/e2e/AppProcess.h"

#include <tlhelp32.h>

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

std::wstring ImagePathOf(DWORD processId) {
    UniqueFile process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return {};
    path.resize(size);
    return path;
}

}  // namespace

DWORD ProcessOfImage(const std::wstring& image) {
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (CompareStringOrdinal(ImagePathOf(entry.th32ProcessID).c_str(), -1, image.c_str(), -1, TRUE) ==
            CSTR_EQUAL)
            return entry.th32ProcessID;
    }
    return 0;
}

std::wstring WidenUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::optional<std::string> UnixPath(const std::wstring& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "wine_get_unix_file_name")));
    if (!convert) return std::nullopt;
    char* name = convert(path.c_str());
    if (!name) return std::nullopt;
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

bool StartLinuxProgram(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    if (info.hProcess) CloseHandle(info.hProcess);
    if (info.hThread) CloseHandle(info.hThread);
    return true;
}

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
    std::wstring folder = options.workingFolder.empty() ? FolderOf(exePath) : options.workingFolder;
    if (options.locale.empty())
        StartDirectly(exePath, folder, options);
    else
        StartInLocale(exePath, folder, options.locale);
    if (job_ && !options.locale.empty()) AssignProcessToJobObject(job_.get(), process_.get());
}

void AppProcess::StartDirectly(const std::wstring& exePath, const std::wstring& folder, const LaunchOptions& options) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = options.showCommand;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = CommandLine(exePath, options.args);
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

// A process started by a Wine process gets that process's Unix environment,
// whatever Windows environment it is given, so a locale of its own takes a
// start from the Linux side; the process is then found by its image.
void AppProcess::StartInLocale(const std::wstring& exePath, const std::wstring& folder, const std::wstring& locale) {
    const std::optional<std::string> exe = UnixPath(exePath), unixFolder = UnixPath(folder);
    if (!exe || !unixFolder) throw std::runtime_error("no Linux path for the exe");
    if (!StartLinuxProgram(L"/bin/sh -c \"cd '" + WidenUtf8(*unixFolder) + L"' && LC_ALL=" + locale + L" exec wine '" +
                           WidenUtf8(*exe) + L"' 2>/dev/null\""))
        throw std::runtime_error("cannot start /bin/sh");
    WaitUntil([&] { return (id_ = ProcessOfImage(exePath)) != 0; }, kStartTimeoutMs, 20);
    process_.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_SET_QUOTA | PROCESS_QUERY_INFORMATION |
                                   PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                               FALSE, id_));
    if (!process_) throw std::runtime_error("the configurator started in " + Narrow(locale) + " was not found");
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
