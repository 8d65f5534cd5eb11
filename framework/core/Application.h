#pragma once
// The application object: owns the hidden application window and the forms,
// runs the message loop, and is where every caught error is reported.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/Form.h"

class TApplication : public TComponent {
public:
    // Creates the hidden application window and becomes the handler of every
    // error the layer catches.
    TApplication();
    ~TApplication() override;

    // Sets up the common controls the forms are made of.
    void Initialize();
    void SetMainFormOnTaskBar(bool value);
    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title);

    // Constructs a form of class F (its creation handler runs inside), keeps it
    // in `reference` and makes the first form created the main form.
    template <class F>
    void CreateForm(F*& reference);

    // Shows the main form and runs the message loop until the quit message.
    void Run();
    void Terminate() { PostQuitMessage(0); }

    void HandleException(TComponent* sender, const Exception& error);
    void ShowException(const Exception& error);
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

    HWND Handle() const { return window_.get(); }
    // Destroys the forms (shutdown); safe to call more than once.
    void DestroyForms();

    // The executable's file name without folder, cut at its first ".", every
    // character after the first lower-cased: KorvaneCFG.exe -> "Korvanecfg".
    static std::wstring DefaultTitle(const std::wstring& exePath);

private:
    void AdoptForm(std::unique_ptr<TForm> form);
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);

    UniqueWindow window_;
    std::wstring title_;
    bool mainFormOnTaskBar_ = false;
    TForm* mainForm_ = nullptr;
    std::vector<std::unique_ptr<TForm>> forms_;
};

// The one application object of the process (created by the program's entry).
extern TApplication* Application;

// Text of the application error box: the error's message, with a final
// period when its last character sorts after ".".
std::wstring ErrorBoxText(const Exception& error);

template <class F>
void TApplication::CreateForm(F*& reference) {
    auto form = std::make_unique<F>();
    reference = form.get();
    try {
        form->Build();
    } catch (...) {
        reference = nullptr;
        throw;
    }
    AdoptForm(std::move(form));
}
