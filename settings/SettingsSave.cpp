#include "settings/SettingsSave.h"

#include "framework/errors/Exceptions.h"
#include "settings/AnsiCodePage.h"
#include "settings/FileHandle.h"
#include "settings/LineStream.h"
#include "settings/LineWriter.h"
#include "settings/ListReader.h"

namespace {
constexpr DWORD kChunkSize = 64 * 1024;  // larger chunks fall out of the processor cache

TFileHandle OpenForReading(const std::wstring& path, DWORD share) {
    TFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        Raise(EFOpenError(path, error));
    }
    return file;
}
}  // namespace

void SaveSettingsFile(const std::wstring& path, const SavedValues& values) {
    // The list reader's open, with its sharing: fails first, with its error.
    OpenForReading(path, FILE_SHARE_READ);
    TLineWriter writer;
    writer.Open(path);
    // The writer holds the file open for writing, so this handle must share
    // writing; the writer's handle still keeps everybody else from writing.
    TFileHandle source = OpenForReading(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
    TLineStream lines(AnsiCodePage(), kChunkSize);
    TLineStream::TLine line;
    std::wstring rewritten;
    DWORD error = 0;
    // Lines without a key text stay as they are: in the ANSI code page, byte
    // for byte, in runs.
    const auto keep = [&](std::string_view passed) { writer.WriteEncodedLines(passed); };
    while (lines.PassLinesWithout(source.Get(), kKeyPrefix, keep, error) &&
           lines.Take(source.Get(), line, error)) {
        if (line.inAnsiCodePage && !lines.Contains(line, kKeyPrefix))
            writer.WriteEncodedLine(line.bytes);
        else
            writer.WriteLine(RewriteLine(lines.TextOf(line), values, rewritten));
    }
    if (error != 0) Raise(EReadError());
    source.CloseQuietly();  // the file cannot be replaced while it is open
    writer.Close();
}
