// Measures loading and saving of a large game.dat against the floor the two
// stand on: loading reads the file into memory; a save reads it into memory,
// writes it to a new file, flushes that and renames it over the old.
//
//   settings_bench [--runs N] [--in FOLDER] [MEGABYTES ...]
//
// Each size (default 5 10 25 50) is a file of about that many megabytes:
// the six default lines, then lines of about 50 bytes with a key line among
// every thousand. Without a folder it works in a new folder in the temp
// folder and removes it afterwards.
//
// Loading is what the window does at start-up: reading the file and taking
// the values from it. Saving is the window's save: reading the file, the new
// bytes, the temporary file written and flushed, and the replace. The floor
// reads the file into memory twice, writes it to a new file, flushes and
// closes that and renames it over another. "copy" is CopyFileW of the file, which
// does not flush, and "flush" flushing such a copy afterwards.
//
// The steps of one run follow each other, so that whatever else the machine
// does meanwhile slows all of them alike; each figure is the median over the
// runs, after a warm-up run, so every step reads from the file cache.
//
// The memory a save takes: the process's peak working set before and after
// the first save of each size, which is the first thing done with that file
// (the files are written a piece at a time, so the process holds little of
// its own; with sizes in rising order no earlier step had a higher peak).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/errors/Exceptions.h"
#include "settings/SettingsFile.h"

namespace {
constexpr int kDefaultRuns = 9;
const std::vector<double> kDefaultMegabytes = {5, 10, 25, 50};

double NowMilliseconds() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

template <class Step>
double Time(Step step) {
    const double start = NowMilliseconds();
    step();
    return NowMilliseconds() - start;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double PeakWorkingSetMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / 1e6;
}

bool WriteWhole(const std::wstring& path, const std::string& bytes, bool flush) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    if (flush) ok = FlushFileBuffers(file) && ok;
    return CloseHandle(file) && ok;
}

// A game.dat of about `size` bytes, written a megabyte at a time; its size.
size_t WriteSettingsFile(const std::wstring& path, size_t size, size_t& lines) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    std::string piece = DefaultSettingsBytes(1252);
    size_t written = 0;
    lines = 6;
    char line[128];
    for (int i = 6; written < size; ++i, ++lines) {
        if (i % 1000 == 500)
            std::snprintf(line, sizeof line, "PROTECTION_CLIENT_ID = %d\r\n", i % 1000);
        else
            std::snprintf(line, sizeof line, "; filler %07d lorem ipsum dolor sit amet elit\r\n", i);
        piece += line;
        if (piece.size() < (1 << 20) && written + piece.size() < size) continue;
        DWORD done = 0;
        if (!WriteFile(file, piece.data(), static_cast<DWORD>(piece.size()), &done, nullptr)) break;
        written += done;
        piece.clear();
    }
    CloseHandle(file);
    return written;
}

std::string ReadWhole(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

void FlushFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    FlushFileBuffers(file);
    CloseHandle(file);
}

// What the window's loading does, without the window.
TLoadedValues Load(const std::wstring& path) { return LoadSettingsFile(path); }

struct Figures {
    size_t lines = 0, bytes = 0;
    double load = 0, save = 0, floor = 0, copy = 0, flush = 0;
    double peakBefore = 0, peakAfter = 0;  // MB
};

bool Measure(const std::wstring& folder, double megabytes, int runs, Figures& figures) {
    const std::wstring path = folder + L"\\game.dat", copy = folder + L"\\copy.dat";
    const std::wstring floorTemp = folder + L"\\floor.tmp", floorTarget = folder + L"\\floor.dat";
    figures.bytes = WriteSettingsFile(path, static_cast<size_t>(megabytes * 1e6), figures.lines);
    if (figures.bytes == 0 || !CopyFileW(path.c_str(), floorTarget.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot write in %ls\n", folder.c_str());
        return false;
    }
    const TWindowValues values{L"0", L"0", L"1", L"500"};  // what the file holds: the save writes it again
    figures.peakBefore = PeakWorkingSetMegabytes();
    SaveSettingsFile(path, values);
    figures.peakAfter = PeakWorkingSetMegabytes();
    std::vector<double> load, save, floor, copying, flush;
    for (int run = 0; run <= runs; ++run) {
        const double l = Time([&] { Load(path); });
        const double s = Time([&] { SaveSettingsFile(path, values); });
        const double f = Time([&] {
            ReadWhole(path);
            WriteWhole(floorTemp, ReadWhole(path), true);
            MoveFileExW(floorTemp.c_str(), floorTarget.c_str(), MOVEFILE_REPLACE_EXISTING);
        });
        const double c = Time([&] { CopyFileW(path.c_str(), copy.c_str(), FALSE); });
        const double fl = Time([&] { FlushFile(copy); });
        if (run == 0) continue;  // warm-up
        load.push_back(l);
        save.push_back(s);
        floor.push_back(f);
        copying.push_back(c);
        flush.push_back(fl);
    }
    figures.load = Median(load);
    figures.save = Median(save);
    figures.floor = Median(floor);
    figures.copy = Median(copying);
    figures.flush = Median(flush);
    for (const std::wstring& file : {path, copy, floorTarget}) DeleteFileW(file.c_str());
    return true;
}

std::wstring DefaultFolder() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp, length) + L"kv-settings-bench-" + std::to_wstring(GetCurrentProcessId());
}

void PrintFigures(const Figures& f) {
    std::printf("%9zu %11zu %8.1f %8.1f %8.1f %8.1f %8.1f %10.2f %10.2f %8.1f %8.1f %8.2f\n", f.lines, f.bytes,
                f.load, f.save, f.floor, f.copy, f.flush, (f.load + f.save) / f.floor, (f.load + f.save) / f.copy,
                f.peakBefore, f.peakAfter, f.peakAfter * 1e6 / static_cast<double>(f.bytes));
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    int runs = kDefaultRuns;
    std::wstring folder;
    std::vector<double> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--runs" && i + 1 < argc) runs = std::max(1, _wtoi(argv[++i]));
        else if (arg == L"--in" && i + 1 < argc) folder = argv[++i];
        else if (const double megabytes = _wtof(argv[i]); megabytes > 0) sizes.push_back(megabytes);
        else {
            std::fprintf(stderr, "usage: settings_bench [--runs N] [--in FOLDER] [MEGABYTES ...]\n");
            return 2;
        }
    }
    if (sizes.empty()) sizes = kDefaultMegabytes;
    const bool ownFolder = folder.empty();
    if (ownFolder) folder = DefaultFolder();
    if (ownFolder && !CreateDirectoryW(folder.c_str(), nullptr)) {
        std::fprintf(stderr, "cannot create %ls\n", folder.c_str());
        return 1;
    }
    std::printf("settings_bench: median of %d runs, times in ms, in %ls\n\n", runs, folder.c_str());
    std::printf("%9s %11s %8s %8s %8s %8s %8s %10s %10s %8s %8s %8s\n", "lines", "bytes", "load", "save", "floor",
                "copy", "flush", "(load+", "(load+", "peak MB", "peak MB", "peak /");
    std::printf("%9s %11s %8s %8s %8s %8s %8s %10s %10s %8s %8s %8s\n", "", "", "", "", "", "", "", "save)/floor",
                "save)/copy", "before", "after", "file");
    int status = 0;
    try {
        for (const double megabytes : sizes) {
            Figures figures;
            if (!Measure(folder, megabytes, runs, figures)) {
                status = 1;
                break;
            }
            PrintFigures(figures);
        }
    } catch (const Exception& e) {
        std::fprintf(stderr, "failed: %ls\n", e.Message().c_str());
        status = 1;
    }
    if (ownFolder) RemoveDirectoryW(folder.c_str());
    std::printf("\nTargets: load + save within 1.3 times the floor; the peak working set after a save within three\n"
                "times the file.\n");
    return status;
}
