#include "tests/e2e/Dialogs.h"

#include "framework/core/Handles.h"
#include "tests/e2e/Input.h"
#include "tests/e2e/Screenshot.h"
#include "tests/e2e/WindowQuery.h"

namespace e2e {

namespace {

bool IsIconStatic(HWND window) {
    return ClassName(window) == L"Static" && (Style(window) & SS_TYPEMASK) == SS_ICON;
}

HWND IconStaticOf(HWND box) {
    for (HWND child : Children(box))
        if (IsIconStatic(child) && IsWindowVisible(child)) return child;
    return nullptr;
}

// Share of the icon's pixels that differ from `icon` drawn by this process
// over the same background; 0 is a perfect match.
double Mismatch(const Screenshot& shown, uint32_t background, LPCWSTR systemIcon) {
    HICON icon = LoadIconW(nullptr, systemIcon);  // shared: not to be destroyed
    if (!icon || shown.Width() == 0 || shown.Height() == 0) return 1.0;
    ScopedWindowDC screen(nullptr);
    UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), shown.Width(), shown.Height()));
    ScopedSelect select(memory.get(), bitmap.get());
    UniqueBrush brush(CreateSolidBrush(RGB(Red(background), Green(background), Blue(background))));
    RECT all{0, 0, shown.Width(), shown.Height()};
    FillRect(memory.get(), &all, brush.get());
    DrawIconEx(memory.get(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    int differing = 0;
    for (int y = 0; y < shown.Height(); ++y)
        for (int x = 0; x < shown.Width(); ++x) {
            COLORREF drawn = GetPixel(memory.get(), x, y);
            uint32_t reference = (GetRValue(drawn) << 16) | (GetGValue(drawn) << 8) | GetBValue(drawn);
            if (ColourDistance(reference, shown.Pixel(x, y)) > 48) ++differing;
        }
    return static_cast<double>(differing) / (shown.Width() * shown.Height());
}

}  // namespace

std::ostream& operator<<(std::ostream& out, IconKind kind) {
    switch (kind) {
        case IconKind::None: return out << "no icon";
        case IconKind::Error: return out << "error icon";
        case IconKind::Warning: return out << "warning icon";
        case IconKind::Information: return out << "information icon";
        case IconKind::Question: return out << "question icon";
        case IconKind::Other: return out << "unknown icon";
    }
    return out;
}

std::vector<HWND> VisibleDialogs(const AppProcess& app) {
    std::vector<HWND> dialogs;
    for (HWND window : app.VisibleTopLevelWindows())
        if (ClassName(window) == kDialogClass) dialogs.push_back(window);
    return dialogs;
}

HWND WaitForDialog(const AppProcess& app, DWORD timeoutMs) {
    HWND box = app.WaitForTopLevel(kDialogClass, timeoutMs);
    // Let the box finish its first painting before it is read or captured.
    if (box) {
        WaitForInputIdle(app.Handle(), kStepTimeoutMs);
        UpdateWindow(box);
        Sleep(100);
    }
    return box;
}

DialogContent ReadDialog(HWND box) {
    DialogContent content;
    content.caption = WindowText(box);
    if (HWND message = ChildById(box, kMessageTextId)) content.message = WindowText(message);
    for (HWND child : Children(box)) {
        if (!IsWindowVisible(child)) continue;
        std::wstring kind = ClassName(child);
        if (kind == L"Static" && !IsIconStatic(child)) {
            std::wstring text = WindowText(child);
            if (!text.empty()) content.texts.push_back(text);
        } else if (kind == L"Button") {
            content.buttons.push_back(DialogButton{GetDlgCtrlID(child), WindowText(child), child});
        }
    }
    content.icon = DialogIcon(box);
    return content;
}

namespace {

// Compares what the icon control shows now with each standard icon.
IconKind IconOnScreen(HWND iconStatic) {
    RECT area{};
    GetWindowRect(iconStatic, &area);
    Screenshot shown = Screenshot::OfScreen(area);
    // The dialog's own background, just left of the icon.
    Screenshot beside = Screenshot::OfScreen(RECT{area.left - 2, area.top, area.left - 1, area.top + 1});
    uint32_t background = beside.Pixel(0, 0);
    struct Candidate {
        LPCWSTR icon;
        IconKind kind;
    };
    const Candidate candidates[] = {{IDI_ERROR, IconKind::Error},
                                    {IDI_WARNING, IconKind::Warning},
                                    {IDI_INFORMATION, IconKind::Information},
                                    {IDI_QUESTION, IconKind::Question}};
    IconKind best = IconKind::Other;
    double bestMismatch = 0.05;  // anti-aliasing and scaling differ a little at most
    for (const Candidate& candidate : candidates) {
        double mismatch = Mismatch(shown, background, candidate.icon);
        if (mismatch < bestMismatch) {
            bestMismatch = mismatch;
            best = candidate.kind;
        }
    }
    return best;
}

}  // namespace

IconKind DialogIcon(HWND box) {
    HWND iconStatic = IconStaticOf(box);
    if (!iconStatic || !SendOrZero(iconStatic, STM_GETICON)) return IconKind::None;
    // The icon is read off the screen: the box must be on top and painted.
    // Other programs' windows may cover it for a moment, so look again for a while.
    IconKind kind = IconKind::Other;
    WaitUntil(
        [&] {
            BringToForeground(box);
            return (kind = IconOnScreen(iconStatic)) != IconKind::Other;
        },
        kStepTimeoutMs, 100);
    return kind;
}

bool PressDialogButton(HWND box, int id) {
    HWND button = ChildById(box, id);
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

}  // namespace e2e
