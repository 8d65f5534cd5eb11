#pragma once
// Turns the bytes of a text file, handed over in pieces as they are read,
// into text. Both readers of game.dat share it, so that loading and saving
// always see the same lines.
//
// A byte order mark at the very start (EF BB BF, FF FE, FE FF) chooses UTF-8,
// UTF-16 little-endian or UTF-16 big-endian and is dropped; without one the
// file is in the given ANSI code page. Every byte is text, 0x1A and NUL
// included: they stay in their line as characters.
//
// Decoding happens in batches of whole lines: a piece is cut after its last
// CR or LF and the rest waits for the next piece. CR and LF are single bytes
// in every ANSI code page and in UTF-8, single units in UTF-16, and never part
// of another character, so a cut there never splits a character, and a batch
// of many lines costs one conversion call.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

enum class TextEncoding { AnsiCodePage, Utf8, Utf16LE, Utf16BE };

class TTextDecoder {
public:
    explicit TTextDecoder(UINT ansiCodePage) : ansiCodePage_(ansiCodePage) {}

    // Takes the next bytes of the file; appends the text of every line now
    // complete to `out`.
    void Feed(std::string_view bytes, std::wstring& out);

    // The file has ended: appends the text of whatever is left.
    void Finish(std::wstring& out);

    // The first bytes of a file tell its encoding once there are this many,
    // or once the file has ended.
    static constexpr size_t kLongestMark = 3;
    // Whether a file starting with `head` is in the ANSI code page: whether
    // it has no byte order mark.
    static bool IsInAnsiCodePage(std::string_view head) { return MarkOf(head).length == 0; }

private:
    struct Mark {
        TextEncoding encoding;
        size_t length;
    };
    static Mark MarkOf(std::string_view head);
    size_t DetectEncoding(std::string_view head);
    size_t CompleteLinesLength(std::string_view bytes, size_t from) const;
    void KeepUnfinishedLine(std::string_view rest);
    void Decode(std::string_view bytes, std::wstring& out) const;
    size_t UnitSize() const;

    UINT ansiCodePage_;
    std::optional<TextEncoding> encoding_;
    std::string pending_;  // bytes not decoded yet: the start of an unfinished line
    size_t scanned_ = 0;   // leading bytes of pending_ known to hold no line break
};
