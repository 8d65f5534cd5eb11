#include "tests/e2e/Harness.h"

#include <iostream>

namespace e2e {

void AppTest::SetUp() { exe_ = folder_.CopyExe(); }

void AppTest::TearDown() {
    if (app_) app_->Kill();
    app_.reset();
}

AppProcess& AppTest::Start(const LaunchOptions& options) { return Start(exe_, options); }

AppProcess& AppTest::Start(const std::wstring& exe, const LaunchOptions& options) {
    app_ = std::make_unique<AppProcess>(exe, options);
    if (!app_->WaitForFirstWindow()) {
        // Every run of the configurator shows a window first. One that ended
        // without any did not get a working desktop: under Wine this happens
        // when a process starts just as the virtual desktop closes (a second
        // after its last user left). Start it once more.
        std::cerr << "note: the configurator showed no window; it " << app_->Describe() << "; starting it again\n";
        app_ = std::make_unique<AppProcess>(exe, options);
    }
    return *app_;
}

HWND AppTest::StartMain(const LaunchOptions& options) {
    main_ = Start(options).WaitForMainWindow();
    EXPECT_NE(main_, nullptr) << "the configuration window did not appear; the process " << app_->Describe();
    return main_;
}

}  // namespace e2e
