#include "settings/AnsiCodePage.h"

#include <atomic>

namespace {
std::atomic<UINT> testCodePage{0};

UINT SystemAnsiCodePage() {
    // GetACP cannot change while the process runs; ask once.
    static const UINT codePage = GetACP();
    return codePage;
}
}  // namespace

UINT AnsiCodePage() {
    const UINT forced = testCodePage.load(std::memory_order_relaxed);
    return forced != 0 ? forced : SystemAnsiCodePage();
}

void SetAnsiCodePageForTesting(UINT codePage) {
    testCodePage.store(codePage, std::memory_order_relaxed);
}
