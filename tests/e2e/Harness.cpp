#include "tests/e2e/Harness.h"

namespace e2e {

void AppTest::SetUp() { exe_ = folder_.CopyExe(); }

void AppTest::TearDown() {
    if (app_) app_->Kill();
    app_.reset();
}

AppProcess& AppTest::Start(const LaunchOptions& options) {
    app_ = std::make_unique<AppProcess>(exe_, options);
    return *app_;
}

HWND AppTest::StartMain(const LaunchOptions& options) {
    main_ = Start(options).WaitForMainWindow();
    EXPECT_NE(main_, nullptr) << "the configuration window did not appear";
    return main_;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace e2e
