#include "settings/LineStream.h"

#include "settings/CodePageText.h"
#include "settings/TextScan.h"

std::wstring_view TLineStream::TextOf(const TLine& line) {
    if (!line.inAnsiCodePage) return line.text;
    decoded_.clear();
    AppendDecoded(line.bytes, ansiCodePage_, decoded_);
    return decoded_;
}

bool TLineStream::Contains(const TLine& line, std::wstring_view text) {
    if (line.inAnsiCodePage && FindText(line.bytes, text) == std::string_view::npos) return false;
    return FindText(TextOf(line), text) != std::wstring_view::npos;
}

// Reads the next chunk and hands it on. The first bytes wait until there are
// enough of them to tell whether the file has a byte order mark.
bool TLineStream::ReadMore(HANDLE file, DWORD& error) {
    DWORD got = 0;
    if (!ReadFile(file, chunk_.data(), static_cast<DWORD>(chunk_.size()), &got, nullptr)) {
        error = GetLastError();
        return false;
    }
    endOfFile_ = got == 0;
    const std::string_view bytes(chunk_.data(), got);
    if (form_ == Form::Unknown) {
        head_.append(bytes);
        if (head_.size() < TTextDecoder::kLongestMark && !endOfFile_) return true;
        form_ = TTextDecoder::IsInAnsiCodePage(head_) ? Form::Bytes : Form::Text;
        Deliver(head_);
        head_ = std::string();
    } else {
        Deliver(bytes);
    }
    if (endOfFile_ && form_ == Form::Text) decoder_.Finish(textLines_.Input());
    return true;
}

void TLineStream::Deliver(std::string_view bytes) {
    if (bytes.empty()) return;
    if (form_ == Form::Bytes)
        byteLines_.Input().append(bytes);
    else
        decoder_.Feed(bytes, textLines_.Input());
}
