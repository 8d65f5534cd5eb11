#include "framework/errors/Exceptions.h"

#include "framework/core/Paths.h"

EInOutError::EInOutError(int errorCode, const std::wstring& fileName)
    : Exception(IOErrorText(errorCode, fileName)), errorCode_(errorCode) {}

EFileStreamError::EFileStreamError(const wchar_t* action, const std::wstring& fileName, DWORD osError)
    : EStreamError(L"Cannot " + std::wstring(action) + L" file \"" + ExpandFullPath(fileName) + L"\". " +
                   SystemErrorText(osError)) {}

std::wstring IOErrorText(int code, const std::wstring& fileName) {
    switch (code) {
        case 2: return L"The specified file was not found";
        case 3: return L"Invalid file name - " + fileName;
        case 4: return L"Too many open files";
        case 5: return L"File access denied";
        case 100: return L"Read beyond end of file";
        case 101: return L"Disk full";
        case 106: return L"Invalid numeric input";
        default: return L"I/O error " + std::to_wstring(code);
    }
}

std::wstring SystemErrorText(DWORD code) {
    wchar_t buffer[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  code, 0, buffer, 512, nullptr);
    while (length > 0 && (buffer[length - 1] <= L' ' || buffer[length - 1] == L'.')) --length;
    return std::wstring(buffer, length);
}
