#include "framework/errors/Exceptions.h"

#include <cstdio>
#include <new>
#include <stdexcept>
#include <vector>

Exception::Exception(std::wstring message) : message_(std::move(message)) {}

const Exception* Exception::GetBaseException() const {
    const Exception* e = this;
    while (e->InnerException() != nullptr) e = e->InnerException();
    return e;
}

EInOutError::EInOutError(int errorCode, const std::wstring& fileName)
    : Exception(IOErrorText(errorCode, fileName)), errorCode_(errorCode) {}

namespace {
std::wstring FormatTwo(const wchar_t* format, const std::wstring& a, const std::wstring& b) {
    std::wstring out;
    bool first = true;
    for (const wchar_t* p = format; *p; ++p) {
        if (p[0] == L'%' && p[1] == L's') {
            out += first ? a : b;
            first = false;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}
}  // namespace

EFileStreamError::EFileStreamError(const wchar_t* format, const std::wstring& fileName,
                                   DWORD osError)
    : EStreamError(FormatTwo(format, ExpandFullPath(fileName), SystemErrorText(osError))) {}

std::shared_ptr<Exception> CurrentException(const void* where) {
    std::shared_ptr<Exception> result;
    try {
        throw;
    } catch (const Exception& e) {
        result = e.Clone();
    } catch (const std::bad_alloc&) {
        result = std::make_shared<EOutOfMemory>();
    } catch (const std::exception& e) {
        std::string what = e.what();
        result = std::make_shared<EExternalException>(std::wstring(what.begin(), what.end()));
    } catch (...) {
        result = std::make_shared<EExternalException>(L"External exception");
    }
    if (result->RaiseAddress() == nullptr) result->SetRaiseAddress(where);
    return result;
}

namespace {
thread_local int tlsIOResult = 0;
}

int IOResult() { return tlsIOResult; }
void SetIOResult(int code) { tlsIOResult = code; }

void IOCheck(const std::wstring& fileName) {
    const int code = tlsIOResult;
    if (code == 0) return;
    tlsIOResult = 0;
    EInOutError error(code, fileName);
    error.SetRaiseAddress(__builtin_return_address(0));
    throw error;
}

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
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
    return text;
}

std::wstring ExpandFullPath(const std::wstring& fileName) {
    DWORD size = GetFullPathNameW(fileName.c_str(), 0, nullptr, nullptr);
    if (size == 0) return fileName;
    std::vector<wchar_t> buffer(size);
    const DWORD length = GetFullPathNameW(fileName.c_str(), size, buffer.data(), nullptr);
    if (length == 0 || length >= size) return fileName;
    return std::wstring(buffer.data(), length);
}
