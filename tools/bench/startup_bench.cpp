// Measures how long the configurator takes from process start to the first
// complete paint of its window, and its peak working set, against windows it
// is compared with: a bare Win32 window of the same size (bare_window.exe),
// the same window with the common controls of version 6 (bare_window_v6.exe)
// and the configurator's window built from plain standard controls
// (plain_window.exe), all started in turns on the same display.
//
//   startup_bench <KorvaneCFG.exe> <other.exe>... [runs] [-v]   (-v: every run)
//
// "Complete" is told from the screen: the window's rectangle is captured over
// and over from the moment it is visible; the paint is complete at the first
// capture that already shows what the window still shows once it has stayed
// unchanged for a while. The configurator runs from a folder of its own with
// the default game.dat beside it, as a user starts it.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {
constexpr int kDefaultRuns = 20;
constexpr double kSettledMs = 700;  // unchanged this long: the paint is done
constexpr double kTimeoutMs = 15000;
constexpr char kDefaultSettings[] =
    "[DEFAULT]\r\nPROTECTION_ID = 0\r\nPROTECTION_MODE = 0\r\nPROTECTION_CHRONICLE = 0\r\n"
    "PROTECTION_LOGO = 1\r\nPROTECTION_CLIENT_ID = 0\r\n";

struct Sample {
    double firstPaintMs = 0;
    double peakWorkingSetMb = 0;
    double shownMs = 0;  // when the window was first seen visible
    int changes = 0;     // how often what the screen shows changed after that
};

double NowMs() {
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct TWindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TWindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    if (!(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION)) return TRUE;  // not a framed window
    search->found = window;
    return FALSE;
}

// Takes what the screen shows inside a rectangle, over and over, and tells
// whether it changed since the last time. Made once per window and compared
// word by word: the loop must leave the machine's cores to the program being
// measured (hashing every byte and a new bitmap for every capture kept one of
// two cores half busy).
class TScreenCapture {
public:
    explicit TScreenCapture(const RECT& rect)
        : rect_(rect), screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width(), -Height(), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(memory_, bitmap_);
        previous_.resize(static_cast<size_t>(Width()) * Height());
    }
    ~TScreenCapture() {
        SelectObject(memory_, old_);
        DeleteObject(bitmap_);
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    TScreenCapture(const TScreenCapture&) = delete;
    TScreenCapture& operator=(const TScreenCapture&) = delete;

    // The first capture counts as a change.
    bool Changed() {
        if (!bits_ || previous_.empty()) return false;
        BitBlt(memory_, 0, 0, Width(), Height(), screen_, rect_.left, rect_.top, SRCCOPY);
        GdiFlush();
        const bool changed = first_ || !std::equal(previous_.begin(), previous_.end(), bits_);
        if (changed) std::copy(bits_, bits_ + previous_.size(), previous_.begin());
        first_ = false;
        return changed;
    }

private:
    int Width() const { return std::max(0L, rect_.right - rect_.left); }
    int Height() const { return std::max(0L, rect_.bottom - rect_.top); }

    RECT rect_;
    HDC screen_, memory_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
    std::vector<uint32_t> previous_;
    bool first_ = true;
};

bool Measure(const std::wstring& exe, const std::wstring& folder, Sample& sample) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    double start = 0;
    // Wine now and then fails a start under load with an internal error
    // (1359); the same start a moment later succeeds.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        start = NowMs();
        started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                                 &startup, &process);
        if (!started && GetLastError() == ERROR_INTERNAL_ERROR) Sleep(200);
    }
    if (!started) {
        std::fwprintf(stderr, L"cannot start %ls (%lu)\n", exe.c_str(), GetLastError());
        return false;
    }
    TWindowSearch search{process.dwProcessId, nullptr};
    sample = {};
    std::unique_ptr<TScreenCapture> capture;
    double lastChange = 0, now = 0;
    do {
        now = NowMs() - start;
        if (!search.found) {
            EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
            sample.shownMs = now;
        } else {
            RECT rect{};
            GetWindowRect(search.found, &rect);
            if (!capture) capture = std::make_unique<TScreenCapture>(rect);
            if (capture->Changed()) lastChange = now, ++sample.changes;
        }
        Sleep(1);
    } while ((!search.found || now - lastChange < kSettledMs) && now < kTimeoutMs);
    capture.reset();

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    K32GetProcessMemoryInfo(process.hProcess, &memory, sizeof(memory));
    if (search.found) PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!search.found || now >= kTimeoutMs) {
        std::fwprintf(stderr, L"%ls: no settled window within %.0f ms\n", exe.c_str(), kTimeoutMs);
        return false;
    }
    sample.firstPaintMs = lastChange;
    sample.peakWorkingSetMb = static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::wstring FullPath(const wchar_t* path) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(full, length) : path;
}

// A folder of its own for the configurator, with the default game.dat.
std::wstring StageConfigurator(const std::wstring& exe) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kv-startup-bench\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW(exe.c_str(), (folder + L"KorvaneCFG.exe").c_str(), FALSE);
    HANDLE file = CreateFileW((folder + L"game.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, kDefaultSettings, sizeof(kDefaultSettings) - 1, &written, nullptr);
    CloseHandle(file);
    return folder;
}

// Prints the medians of `samples` and returns them.
Sample Report(const wchar_t* what, const std::vector<Sample>& samples) {
    std::vector<double> paint, memory;
    for (const Sample& s : samples) paint.push_back(s.firstPaintMs), memory.push_back(s.peakWorkingSetMb);
    const Sample median{Median(paint), Median(memory)};
    std::wprintf(L"%-15ls first paint median %7.1f ms (%.1f to %.1f)   peak working set median %5.1f MB\n", what,
                 median.firstPaintMs, *std::min_element(paint.begin(), paint.end()),
                 *std::max_element(paint.begin(), paint.end()), median.peakWorkingSetMb);
    return median;
}

// The name a subject is reported under: its file name without ".exe".
std::wstring SubjectName(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    return name.size() > 4 ? name.substr(0, name.size() - 4) : name;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: startup_bench <KorvaneCFG.exe> <other.exe>... [runs] [-v]\n");
        return 2;
    }
    int runs = kDefaultRuns;
    bool verbose = false;
    const std::wstring folder = StageConfigurator(FullPath(argv[1]));
    // The configurator first, then the windows it is measured against.
    std::vector<std::pair<std::wstring, std::wstring>> subjects{{L"configurator", folder + L"KorvaneCFG.exe"}};
    for (int i = 2; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"-v") verbose = true;
        else if (!argument.empty() && iswdigit(argument[0])) runs = std::max(1, _wtoi(argv[i]));
        else subjects.push_back({SubjectName(argument), FullPath(argv[i])});
    }
    SetCursorPos(0, 0);  // a pointer over the window would light up a control
    // Each once to warm the file cache, then in turns, each run starting with
    // the next of them.
    Sample warm;
    for (const auto& subject : subjects)
        if (!Measure(subject.second, folder, warm)) return 1;
    std::vector<std::vector<Sample>> samples(subjects.size(), std::vector<Sample>(runs));
    for (int run = 0; run < runs; ++run) {
        for (size_t turn = 0; turn < subjects.size(); ++turn) {
            const size_t which = (run + turn) % subjects.size();
            if (!Measure(subjects[which].second, folder, samples[which][run])) return 1;
        }
        if (!verbose) continue;
        // Per subject: settled paint, window first visible, screen changes, peak working set.
        std::wprintf(L"run %2d", run + 1);
        for (size_t i = 0; i < subjects.size(); ++i) {
            const Sample& s = samples[i][run];
            std::wprintf(L"  %ls %6.1f (seen %5.1f, %d) %4.1f MB", subjects[i].first.c_str(), s.firstPaintMs,
                         s.shownMs, s.changes, s.peakWorkingSetMb);
        }
        std::wprintf(L"\n");
    }
    std::wprintf(L"%d interleaved runs each\n", runs);
    std::vector<Sample> medians;
    for (size_t i = 0; i < subjects.size(); ++i) medians.push_back(Report(subjects[i].first.c_str(), samples[i]));
    for (size_t i = 1; i < subjects.size(); ++i)
        std::wprintf(L"ratio to %-15ls first paint %.2f   peak working set %.2f\n", subjects[i].first.c_str(),
                     medians[0].firstPaintMs / medians[i].firstPaintMs,
                     medians[0].peakWorkingSetMb / medians[i].peakWorkingSetMb);
    return 0;
}
