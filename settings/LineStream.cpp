#include "settings/LineStream.h"

// Reads the next chunk and decodes the lines it completes.
bool TLineStream::ReadMore(HANDLE file, DWORD& error) {
    DWORD got = 0;
    if (!ReadFile(file, chunk_.data(), static_cast<DWORD>(chunk_.size()), &got, nullptr)) {
        error = GetLastError();
        return false;
    }
    if (got == 0) {
        decoder_.Finish(lines_.Input());
        endOfFile_ = true;
    } else {
        decoder_.Feed(std::string_view(chunk_.data(), got), lines_.Input());
    }
    return true;
}
