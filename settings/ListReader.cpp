#include "settings/ListReader.h"

#include "settings/AnsiCodePage.h"
#include "settings/FileHandle.h"
#include "settings/LineSplitter.h"
#include "settings/TextDecoder.h"

namespace {
constexpr DWORD kChunkSize = 1024 * 1024;

// Room for the text of a file of `size` bytes: no encoding gives more UTF-16
// units than bytes. Memory reserved but never touched costs nothing.
size_t TextRoomFor(HANDLE file) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file, &size) ? static_cast<size_t>(size.QuadPart) : 0;
}

// Lines of about 16 characters or more need no second allocation.
size_t LineRoomFor(size_t textSize) { return textSize / 16 + 16; }
}  // namespace

TLineList ReadAllLines(const std::wstring& path) {
    TFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        Raise(EFOpenError(path, error));
    }
    TTextDecoder decoder(AnsiCodePage());
    TLineSplitter splitter;
    std::wstring& text = splitter.Input();
    text.reserve(TextRoomFor(file.Get()));
    std::string chunk(kChunkSize, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), chunk.data(), kChunkSize, &got, nullptr)) Raise(EReadError());
        if (got == 0) break;
        decoder.Feed(std::string_view(chunk.data(), got), text);
    }
    file.CloseQuietly();  // nothing was written: a failed close loses nothing
    decoder.Finish(text);

    std::vector<TLineList::Span> spans;
    spans.reserve(LineRoomFor(text.size()));
    TLineList::Span span{};
    while (splitter.TakeLine(span.start, span.length, true)) spans.push_back(span);
    return TLineList(std::move(splitter.Text()), std::move(spans));
}
