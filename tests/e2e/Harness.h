#pragma once
// End-to-end harness: the real configurator, started in a scratch folder of
// its own and inspected from this process as UI-automation tools would.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "tests/e2e/AppProcess.h"
#include "tests/e2e/Dialogs.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/Screenshot.h"
#include "tests/e2e/TestFolder.h"
#include "tests/e2e/Wait.h"
#include "tests/e2e/WindowQuery.h"
#include "ui/ControlIds.h"

namespace e2e {

inline constexpr wchar_t kCaption[] = L"Korvane \u2022 Configurator";
inline constexpr wchar_t kSettingsFile[] = L"game.dat";

// A settings file whose values match what the window shows before loading
// changes anything: mode 0, chronicle 0, logo off, an empty build ID.
inline constexpr char kNeutralSettings[] =
    "[DEFAULT]\r\n"
    "PROTECTION_ID = 0\r\n"
    "PROTECTION_MODE = 0\r\n"
    "PROTECTION_CHRONICLE = 0\r\n"
    "PROTECTION_LOGO = 0\r\n"
    "PROTECTION_CLIENT_ID = \r\n";

// Each test gets its own folder with a copy of the configurator; a process it
// starts is killed when the test ends, before the folder is removed.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the copy in the test folder (or another exe) and waits until it
    // shows its first window.
    AppProcess& Start(const LaunchOptions& options = {});
    AppProcess& Start(const std::wstring& exe, const LaunchOptions& options);
    // Starts it and waits for the configuration window (fails the test when
    // it does not come).
    HWND StartMain(const LaunchOptions& options = {});

    void WriteSettings(std::string_view bytes) const { folder_.WriteBytes(kSettingsFile, bytes); }
    std::optional<std::string> ReadSettings() const { return folder_.ReadBytes(kSettingsFile); }

    // A control of the configuration window, at any depth.
    HWND Control(int id) const { return DescendantById(main_, id); }
    AppProcess& App() { return *app_; }
    HWND Main() const { return main_; }
    const TestFolder& Folder() const { return folder_; }
    const std::wstring& Exe() const { return exe_; }

    TestFolder folder_;
    std::wstring exe_;
    std::unique_ptr<AppProcess> app_;
    HWND main_ = nullptr;
};

}  // namespace e2e

