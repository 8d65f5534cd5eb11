#pragma once
// The error classes of the configurator. Every failure is raised as one of
// these at the point where it happens; the application object catches them
// at its catch points and shows them.
#include <windows.h>

#include <exception>
#include <new>
#include <string>

// Declares the run-time class name that the fatal error box shows.
#define KV_ERROR_CLASS(Name) \
    const wchar_t* ClassName() const override { return L## #Name; }

// An error class that adds nothing to its base but its name.
#define KV_SIMPLE_ERROR_CLASS(Name, Base) \
    class Name : public Base {            \
    public:                               \
        using Base::Base;                 \
        KV_ERROR_CLASS(Name)              \
    };

// An error class whose errors all have the message `message`.
#define KV_FIXED_ERROR_CLASS(Name, Base, message) \
    class Name : public Base {                    \
    public:                                       \
        Name() : Base(message) {}                 \
        KV_ERROR_CLASS(Name)                      \
    };

class Exception {
public:
    explicit Exception(std::wstring message) : message_(std::move(message)) {}
    virtual ~Exception() = default;

    virtual const wchar_t* ClassName() const { return L"Exception"; }
    const std::wstring& Message() const { return message_; }

    // Code address at which the error was raised (for the fatal error box).
    const void* RaiseAddress() const { return raiseAddress_; }
    void SetRaiseAddress(const void* address) { raiseAddress_ = address; }

private:
    std::wstring message_;
    const void* raiseAddress_ = nullptr;
};

// A step of reading or writing game.dat failed; carries the I/O result code.
class EInOutError : public Exception {
public:
    EInOutError(int errorCode, const std::wstring& fileName);
    KV_ERROR_CLASS(EInOutError)
    int ErrorCode() const { return errorCode_; }

private:
    int errorCode_;
};

KV_SIMPLE_ERROR_CLASS(EStreamError, Exception)

class EFileStreamError : public EStreamError {
public:
    // "Cannot <action> file "<full path>". <the system's text>".
    EFileStreamError(const wchar_t* action, const std::wstring& fileName, DWORD osError);
    KV_ERROR_CLASS(EFileStreamError)
};

class EFOpenError : public EFileStreamError {
public:
    EFOpenError(const std::wstring& fileName, DWORD osError) : EFileStreamError(L"open", fileName, osError) {}
    KV_ERROR_CLASS(EFOpenError)
};

class EFCreateError : public EFileStreamError {
public:
    EFCreateError(const std::wstring& fileName, DWORD osError) : EFileStreamError(L"create", fileName, osError) {}
    KV_ERROR_CLASS(EFCreateError)
};

KV_SIMPLE_ERROR_CLASS(EFilerError, EStreamError)
KV_FIXED_ERROR_CLASS(EWriteError, EFilerError, L"Stream write error")
KV_FIXED_ERROR_CLASS(EReadError, EFilerError, L"Stream read error")

KV_SIMPLE_ERROR_CLASS(ECustomStyleException, Exception)
// Style data that breaks the format; the message says what is wrong.
KV_SIMPLE_ERROR_CLASS(EStyleFormatError, ECustomStyleException)

// C++ errors that are not the system's own reach the boxes as these.
KV_FIXED_ERROR_CLASS(EOutOfMemory, Exception, L"Out of memory")
KV_SIMPLE_ERROR_CLASS(EExternalException, Exception)

// Throws `error`, recording the caller's code address as where it was raised.
template <class E>
[[noreturn]] __attribute__((noinline)) void Raise(E error) {
    error.SetRaiseAddress(__builtin_return_address(0));
    throw error;
}

// Hands the error being handled (call inside a catch block) to `use` as the
// system's own kind: std::bad_alloc as EOutOfMemory, any other C++ error as
// EExternalException with its description. `where` stands in for the raising
// address of an error that is not the system's own.
template <class Use>
void UseCurrentError(const void* where, Use&& use) {
    const auto foreign = [&](auto error) {
        error.SetRaiseAddress(where);
        use(error);
    };
    try {
        throw;
    } catch (const Exception& error) {
        use(error);
    } catch (const std::bad_alloc&) {
        foreign(EOutOfMemory());
    } catch (const std::exception& error) {
        const std::string what = error.what();
        foreign(EExternalException(std::wstring(what.begin(), what.end())));
    } catch (...) {
        foreign(EExternalException(L"External exception"));
    }
}

// Text for an I/O result code, as the error box shows it.
std::wstring IOErrorText(int code, const std::wstring& fileName);

// The system's message text for an error code, without trailing blanks,
// control characters and periods.
std::wstring SystemErrorText(DWORD code);
