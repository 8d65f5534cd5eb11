// Measures loading and saving of a large game.dat against CopyFileW of the
// same file on the same disk, at quarter, half and full size.
//
//   settings_bench [folder] [runs]
//
// Without a folder (or with an empty one) it works in a new folder in the
// temp folder and removes it afterwards.
//
// Loading is what the window does at start-up: the line reader finding the
// lines that hold a key text, and the key tests on those. Saving is SaveSettingsFile: every line rewritten
// (RewriteLine) and written by the line writer, whose close flushes the new
// file to the disk and moves it into place. "list save" is the same save
// done the other way round, the whole list read first (ReadAllLines), for
// comparison.
//
// The steps of one run follow each other (load, save, list save, copy,
// flush), so that whatever else the machine does meanwhile slows all of them
// alike; each figure is the median over the runs, after a warm-up run, so
// every step reads from the file cache. A save puts its file on the disk
// (FlushFileBuffers) and a copy does not: "flush" is the time of flushing a
// just-copied file of the same size, and the last ratio leaves it out.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/errors/Exceptions.h"
#include "settings/LineReader.h"
#include "settings/LineWriter.h"
#include "settings/ListReader.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsSave.h"

namespace {
constexpr int kDefaultRuns = 9;
constexpr int kFullLineCount = 200'000;

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

// About 50 bytes a line: the six default lines at the top, and a key line
// among every thousand filler lines further down.
std::string MakeSettingsBytes(int lineCount) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(lineCount) * 52);
    const std::vector<std::wstring> defaults = DefaultSettingsLines();
    for (const std::wstring& line : defaults) {
        for (const wchar_t c : line) bytes += static_cast<char>(c);
        bytes += "\r\n";
    }
    char line[128];
    for (int i = static_cast<int>(defaults.size()); i < lineCount; ++i) {
        if (i % 1000 == 500)
            std::snprintf(line, sizeof line, "PROTECTION_CLIENT_ID = %d\r\n", i % 1000);
        else
            std::snprintf(line, sizeof line, "; filler %06d lorem ipsum dolor sit amet elit\r\n", i);
        bytes += line;
    }
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

void FlushFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    FlushFileBuffers(file);
    CloseHandle(file);
}

// What the window's loading does with every line.
SavedValues Load(const std::wstring& path) {
    SavedValues values{L"0", L"0", L"", false};
    TLineReader reader;
    reader.Open(path);
    std::wstring text;
    while (reader.ReadLineWith(kKeyPrefix, text)) {
        const KeyLineValues line = ReadKeyLine(text);
        if (line.mode) values.mode = *line.mode;
        if (line.chronicle) values.chronicle = *line.chronicle;
        if (line.logoShown) values.logoShown = true;
        if (line.clientId) values.clientId = *line.clientId;
    }
    reader.Close();
    return values;
}

void SaveThroughList(const std::wstring& path, const SavedValues& values) {
    const TLineList lines = ReadAllLines(path);
    TLineWriter writer;
    writer.Open(path);
    std::wstring rewritten;
    for (const std::wstring_view line : lines) writer.WriteLine(RewriteLine(line, values, rewritten));
    writer.Close();
}

struct Figures {
    int lines = 0;
    size_t bytes = 0;
    double load = 0, save = 0, listSave = 0, copy = 0, flush = 0;
};

bool Measure(const std::wstring& folder, int lineCount, int runs, Figures& figures) {
    figures.lines = lineCount;
    const std::string bytes = MakeSettingsBytes(lineCount);
    figures.bytes = bytes.size();
    const std::wstring path = folder + L"\\game.dat";
    const std::wstring copy = folder + L"\\game-copy.dat";
    if (!WriteFileBytes(path, bytes)) {
        std::fprintf(stderr, "cannot write %ls\n", path.c_str());
        return false;
    }
    const SavedValues values = Load(path);
    std::vector<double> load, save, listSave, copying, flush;
    for (int run = 0; run <= runs; ++run) {
        const double l = Time([&] { Load(path); });
        const double s = Time([&] { SaveSettingsFile(path, values); });
        const double ls = Time([&] { SaveThroughList(path, values); });
        const double c = Time([&] { CopyFileW(path.c_str(), copy.c_str(), FALSE); });
        const double f = Time([&] { FlushFile(copy); });
        if (run == 0) continue;  // warm-up
        load.push_back(l);
        save.push_back(s);
        listSave.push_back(ls);
        copying.push_back(c);
        flush.push_back(f);
    }
    figures.load = Median(load);
    figures.save = Median(save);
    figures.listSave = Median(listSave);
    figures.copy = Median(copying);
    figures.flush = Median(flush);
    DeleteFileW(copy.c_str());
    DeleteFileW(path.c_str());
    return true;
}

std::wstring DefaultFolder() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp, length) + L"kv-settings-bench-" + std::to_wstring(GetCurrentProcessId());
}

void PrintFigures(const Figures& f) {
    std::printf("%8d %10zu %8.1f %8.1f %8.1f %8.1f %8.1f %10.2f %10.2f %10.2f\n", f.lines, f.bytes,
                f.load, f.save, f.listSave, f.copy, f.flush, f.load / f.copy,
                (f.load + f.save) / f.copy, (f.load + f.save - f.flush) / f.copy);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool ownFolder = argc < 2 || argv[1][0] == L'\0';
    const std::wstring folder = ownFolder ? DefaultFolder() : argv[1];
    const int runs = argc >= 3 ? std::max(1, _wtoi(argv[2])) : kDefaultRuns;
    if (ownFolder && !CreateDirectoryW(folder.c_str(), nullptr)) {
        std::fprintf(stderr, "cannot create %ls\n", folder.c_str());
        return 1;
    }
    std::printf("settings_bench: median of %d runs, times in ms, in %ls\n\n", runs, folder.c_str());
    std::printf("%8s %10s %8s %8s %8s %8s %8s %10s %10s %10s\n", "lines", "bytes", "load", "save",
                "list", "copy", "flush", "load/", "(load+", "(load+save");
    std::printf("%8s %10s %8s %8s %8s %8s %8s %10s %10s %10s\n", "", "", "", "", "save", "", "",
                "copy", "save)/copy", "-flush)/copy");
    int status = 0;
    try {
        for (const int lineCount : {kFullLineCount / 4, kFullLineCount / 2, kFullLineCount}) {
            Figures figures;
            if (!Measure(folder, lineCount, runs, figures)) {
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
    std::printf("\nTarget: load + save within 3 times the copy.\n");
    return status;
}
