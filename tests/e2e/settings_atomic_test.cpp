// A save replaces game.dat as a whole: a reader never sees a partial file,
// a save killed at any moment leaves the old or the new file, and the next
// start clears away what the killed save left.
#include "tests/e2e/SettingsDriver.h"
#include "tests/TestThread.h"

#include <atomic>
#include <cstdio>

namespace e2e {
namespace {

std::optional<ULONGLONG> FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Reads game.dat over and over on a thread of its own, as another program
// might, sharing everything, and sorts what it reads.
class LoopingReader {
public:
    LoopingReader(std::wstring path, std::wstring tempPath, std::string oldBytes, std::string newBytes)
        : path_(std::move(path)), tempPath_(std::move(tempPath)), old_(std::move(oldBytes)), new_(std::move(newBytes)) {
        thread_ = TestThread([this] { Run(); });
    }
    ~LoopingReader() { Stop(); }
    LoopingReader(const LoopingReader&) = delete;
    LoopingReader& operator=(const LoopingReader&) = delete;

    void Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }

    int oldReads = 0, newReads = 0, partialReads = 0;
    int readsWhileSaving = 0;  // begun while the save's temporary file existed
    int missing = 0, openFailures = 0;
    DWORD lastOpenError = 0;
    std::string firstPartial;  // what the first partial read looked like

private:
    void Run() {
        std::string bytes;
        while (!stop_) {
            const bool saving = GetFileAttributesW(tempPath_.c_str()) != INVALID_FILE_ATTRIBUTES;
            UniqueFile file(CreateFileW(path_.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) {
                lastOpenError = GetLastError();
                ++(lastOpenError == ERROR_FILE_NOT_FOUND ? missing : openFailures);
                continue;
            }
            ReadAll(file.get(), bytes);
            file.reset();
            if (saving) ++readsWhileSaving;
            if (bytes == old_) {
                ++oldReads;
            } else if (bytes == new_) {
                ++newReads;
            } else if (++partialReads == 1) {
                firstPartial = std::to_string(bytes.size()) + " bytes, beginning " +
                               Visible(std::string_view(bytes).substr(0, 80));
            }
            // A file that is open cannot be replaced (on Windows, and under
            // Wine): leave the saver a moment between reads, as any reader
            // that does something with what it read would.
            Sleep(5);
        }
    }

    static void ReadAll(HANDLE file, std::string& bytes) {
        LARGE_INTEGER size{};
        GetFileSizeEx(file, &size);
        bytes.resize(static_cast<size_t>(size.QuadPart) + 1);
        size_t total = 0;
        DWORD got = 0;
        while (ReadFile(file, bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &got, nullptr) &&
               got > 0) {
            total += got;
            if (total == bytes.size()) bytes.resize(bytes.size() * 2);
        }
        bytes.resize(total);
    }

    std::wstring path_, tempPath_;
    std::string old_, new_;
    std::atomic<bool> stop_{false};
    TestThread thread_;
};

class SettingsAtomicTest : public SettingsTest {
protected:
    // Reads game.dat while the thread of `window` is suspended (unless the
    // process has already ended).
    std::optional<std::string> ReadWhileStopped(HWND window) const {
        UniqueKernelHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr)));
        if (thread) SuspendThread(thread.get());
        return ReadSettings();
    }

    std::wstring TempPath() const { return Folder().PathOf(kSavingTempFile); }

    // Starts on whatever game.dat holds and checks that a left-over temporary
    // file is gone and that the window shows the file's mode.
    void StartAndExpectLoaded(char mode) {
        ASSERT_NE(StartMain(), nullptr);
        EXPECT_FALSE(LeftoverTempFile()) << "the temporary file of the killed save is still there";
        EXPECT_EQ(Shown().mode, std::wstring(1, static_cast<wchar_t>(mode)));
        EXPECT_EQ(Shown().protectionItem, mode - '0');
    }
};

TEST_F(SettingsAtomicTest, AReaderNeverSeesAPartialFile) {
    const std::string modeZero = LargeSettings('0'), modeOne = LargeSettings('1');
    WriteSettings(modeZero);
    LoopingReader reader(Folder().PathOf(kSettingsFile), TempPath(), modeZero, modeOne);
    for (int round = 0; round < 6 && !HasFailure(); ++round) {
        const bool toOne = round % 2 == 0;
        SCOPED_TRACE("save " + std::to_string(round));
        ASSERT_NE(StartMain(), nullptr);
        Choose(kIdProtectionGrp, toOne ? 1 : 0);
        SaveExpecting(toOne ? modeOne : modeZero, OtherReaders::Some);
    }
    reader.Stop();
    std::printf("reads: %d old, %d new, %d partial, %d while saving; %d missing, %d failed opens\n",
                reader.oldReads, reader.newReads, reader.partialReads, reader.readsWhileSaving, reader.missing,
                reader.openFailures);
    EXPECT_EQ(reader.partialReads, 0) << "first: " << reader.firstPartial;
    EXPECT_EQ(reader.missing, 0) << "game.dat was missing while the reader looked";
    EXPECT_EQ(reader.openFailures, 0) << "last error " << reader.lastOpenError;
    EXPECT_GT(reader.readsWhileSaving, 0) << "the reader never read during a save: the test proves nothing";
    EXPECT_GT(reader.oldReads, 0);
    EXPECT_GT(reader.newReads, 0);
}

// When during a save the process is killed.
enum class KillMoment {
    RightAfterTheClick,
    TempCreated,
    TempQuarter,
    TempHalf,
    TempComplete,
    SettingsTouched,  // game.dat's size or time changed: a rewrite in place would be under way
    NoticeShown
};

const char* MomentName(KillMoment moment) {
    switch (moment) {
        case KillMoment::RightAfterTheClick: return "right after the click";
        case KillMoment::TempCreated: return "temporary file created";
        case KillMoment::TempQuarter: return "a quarter written";
        case KillMoment::TempHalf: return "half written";
        case KillMoment::TempComplete: return "all written";
        case KillMoment::SettingsTouched: return "game.dat touched";
        case KillMoment::NoticeShown: return "notice shown";
    }
    return "?";
}

TEST_F(SettingsAtomicTest, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
    const std::string modeZero = LargeSettings('0'), modeOne = LargeSettings('1');
    const ULONGLONG size = modeZero.size();
    WriteSettings(modeZero);
    char onDisk = '0';
    int tempLeftBehind = 0, keptOld = 0;
    const KillMoment moments[] = {KillMoment::RightAfterTheClick, KillMoment::TempCreated, KillMoment::TempQuarter,
                                  KillMoment::TempHalf, KillMoment::TempComplete, KillMoment::SettingsTouched,
                                  KillMoment::NoticeShown};
    for (KillMoment moment : moments) {
        SCOPED_TRACE(MomentName(moment));
        StartAndExpectLoaded(onDisk);
        if (HasFatalFailure()) return;
        const char target = onDisk == '0' ? '1' : '0';
        Choose(kIdProtectionGrp, target - '0');
        const std::optional<FILETIME> timeBefore = Folder().LastWriteTime(kSettingsFile);
        PostMessageW(Control(kIdSave), BM_CLICK, 0, 0);
        auto reached = [&] {
            const std::optional<ULONGLONG> written = FileSize(TempPath());
            switch (moment) {
                case KillMoment::RightAfterTheClick: return true;
                case KillMoment::TempCreated: return written.has_value();
                case KillMoment::TempQuarter: return written && *written >= size / 4;
                case KillMoment::TempHalf: return written && *written >= size / 2;
                case KillMoment::TempComplete: return written && *written >= size;
                case KillMoment::SettingsTouched: {
                    const std::optional<FILETIME> time = Folder().LastWriteTime(kSettingsFile);
                    return FileSize(Folder().PathOf(kSettingsFile)) != size || !time || !timeBefore ||
                           CompareFileTime(&*time, &*timeBefore) != 0;
                }
                case KillMoment::NoticeShown: return !VisibleDialogs(App()).empty();
            }
            return true;
        };
        // The notice ends every wait: the save is over by then.
        bool caught = false;
        WaitUntil([&] { return (caught = reached()) || !VisibleDialogs(App()).empty() || !App().IsRunning(); },
                  kStartTimeoutMs, 0);
        // A kill takes effect some time after it is asked for: stop the
        // saving thread first, so that the file is judged as it is at the
        // moment caught, then kill.
        const std::optional<std::string> atMoment = ReadWhileStopped(Main());
        App().Kill();
        const bool tempLeft = LeftoverTempFile();
        const std::optional<std::string> after = ReadSettings();
        ASSERT_TRUE(atMoment.has_value() && after.has_value()) << "game.dat is gone";
        const std::string& old = onDisk == '0' ? modeZero : modeOne;
        const std::string& fresh = target == '0' ? modeZero : modeOne;
        EXPECT_TRUE(*atMoment == old || *atMoment == fresh)
            << "game.dat is neither old nor new while the save stands still: " << atMoment->size() << " bytes";
        const bool isOld = *after == old;
        const bool isNew = *after == fresh;
        std::printf("killed at \"%s\"%s: game.dat %s, temporary file %s\n", MomentName(moment),
                    caught ? "" : " (missed)", isOld ? "old" : isNew ? "new" : "BROKEN",
                    tempLeft ? "left behind" : "absent");
        ASSERT_TRUE(isOld || isNew) << "game.dat is neither old nor new: " << after->size() << " bytes";
        if (moment == KillMoment::NoticeShown) {
            EXPECT_TRUE(isNew) << "the notice came before the file was saved";
        }
        tempLeftBehind += tempLeft;
        keptOld += isOld && tempLeft;
        onDisk = isNew ? target : onDisk;
    }
    // The start after the last kill cleans up too.
    StartAndExpectLoaded(onDisk);
    CloseWithoutSaving();
    EXPECT_GT(keptOld, 0) << "no kill hit a save half-way: the test proves nothing";
    EXPECT_GT(tempLeftBehind, 0);
}

TEST_F(SettingsAtomicTest, AStartRemovesATemporaryFileLeftBesideTheSettings) {
    WriteSettings(CrLfLines({"PROTECTION_MODE = 2", "PROTECTION_CLIENT_ID = 33"}));
    Folder().WriteBytes(kSavingTempFile, "PROTECTION_MODE = 1\r\nPROTECTION_CLI");
    ASSERT_NE(StartMain(), nullptr);
    EXPECT_FALSE(LeftoverTempFile());
    EXPECT_EQ(Shown(), (ShownSettings{L"2", L"0", L"33", false, 2, 0}));
    CloseWithoutSaving();
    EXPECT_EQ(ReadSettings(), CrLfLines({"PROTECTION_MODE = 2", "PROTECTION_CLIENT_ID = 33"}));
}

TEST_F(SettingsAtomicTest, AStartWithOnlyATemporaryFileRemovesItAndCreatesTheDefaults) {
    Folder().WriteBytes(kSavingTempFile, "PROTECTION_MODE = 1\r\nPROTECTION_CLI");
    ASSERT_NE(StartMain(), nullptr);
    EXPECT_FALSE(LeftoverTempFile());
    EXPECT_EQ(ReadSettings(), std::optional<std::string>(kDefaultSettingsBytes));
    EXPECT_EQ(Shown(), (ShownSettings{L"0", L"0", L"0", true, 0, 0}));
}

}  // namespace
}  // namespace e2e
