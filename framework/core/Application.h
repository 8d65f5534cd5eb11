#pragma once
// The application object: owns the hidden application window and the forms,
// runs the message loop, and is where every caught error is reported.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/errors/Exceptions.h"
#include "framework/core/Handles.h"

// The application object has a MessageBox of its own.
#undef MessageBox

class TForm;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    void Initialize();
    bool MainFormOnTaskBar() const { return mainFormOnTaskBar_; }
    void SetMainFormOnTaskBar(bool value);
    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title);

    // Constructs a form of class F (its creation handler runs inside), keeps it
    // in `reference` and makes the first form created the main form.
    template <class F>
    void CreateForm(F*& reference);

    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Reports the error being handled (call inside a catch block).
    void HandleException(TComponent* sender);
    void HandleException(TComponent* sender, const Exception& error);
    void ShowException(const Exception& error);
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

    HWND Handle() const { return window_.get(); }
    TForm* MainForm() const { return mainForm_; }
    // Runs the shutdown at once (Windows is ending the session).
    [[noreturn]] void EndSessionNow();
    // Destroys the forms (shutdown); safe to call more than once.
    void DestroyForms();

    // The executable's file name without folder, cut at its first ".", every
    // character after the first lower-cased: KorvaneCFG.exe -> "Korvanecfg".
    static std::wstring DefaultTitle(const std::wstring& exePath);

private:
    void AdoptForm(std::unique_ptr<TForm> form, bool isMain);
    void ShowMainForm();
    void ProcessMessage();
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleAppMessage(UINT message, WPARAM wParam, LPARAM lParam);

    UniqueWindow window_;

    std::wstring title_;
    bool mainFormOnTaskBar_ = false;
    bool terminated_ = false;
    bool comInitialized_ = false;
    TForm* mainForm_ = nullptr;
    std::vector<std::unique_ptr<TForm>> forms_;
};

// The one application object of the process (created by the program's entry).
extern TApplication* Application;

// Hands the error being handled to Application->HandleException, or, when no
// application object exists, to the fatal error box.
void HandleCaughtException(TComponent* sender, const void* where);

// Text of the application error box: the base error's message, with a final
// period when its last character sorts after ".".
std::wstring ErrorBoxText(const Exception& error);

// "Exception %s in module %s at %p.\r\n%s%s\r\n"
std::wstring FatalErrorText(const Exception& error);
// Shows the fatal error box and ends the process with exit code 1.
[[noreturn]] void ShowFatalErrorAndExit(const Exception& error);
// Same, for the error being handled (inside a catch block).
[[noreturn]] void FatalErrorFromCurrentException(const void* where);

// Process-wide last line of defence against crashes and std::terminate.
void InstallFatalErrorHandlers();

template <class F>
void TApplication::CreateForm(F*& reference) {
    const bool isMain = mainForm_ == nullptr;
    auto form = std::make_unique<F>();
    reference = form.get();
    try {
        form->Build();
    } catch (...) {
        reference = nullptr;
        throw;
    }
    AdoptForm(std::move(form), isMain);
}
