#include "framework/core/Form.h"

#include <algorithm>
#include <map>

#include "framework/theme/ControlPainter.h"

namespace {
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

// Places an aligned control in what its parent has left, in creation order,
// and takes its room from that area.
TBounds Align(const TControlDesc& desc, RECT& area) {
    const int width = area.right - area.left, height = desc.bounds.height;
    switch (desc.align) {
        case TAlign::Top: area.top += height; return {area.left, area.top - height, width, height};
        case TAlign::Bottom: area.bottom -= height; return {area.left, area.bottom, width, height};
        case TAlign::Client: return {area.left, area.top, width, area.bottom - area.top};
        case TAlign::None: break;
    }
    return desc.bounds;
}

}  // namespace

TForm::~TForm() {
    // The controls' windows go with the form's window; drop the objects first
    // so that no message reaches a half-destroyed form.
    HWND window = Handle();
    controls_.clear();
    if (window) DestroyWindow(window);
}

void TForm::Build() {
    const TFormDescription& description = Description();
    CreateFormWindow(description);
    CreateControls(description);
    ApplyTabOrder(description);
    Loaded();
    BindEvents(description);
    RunCreateHandler(description);
}

void TForm::CreateFormWindow(const TFormDescription& d) {
    RegisterWindowClass(d.name, OwnClassProc, d.iconResource);
    RECT outer{0, 0, d.clientWidth, d.clientHeight};
    AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
    HWND window = CreateWindowExW(kFormExStyle, d.name, d.caption, kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), static_cast<TWinControl*>(this));
    if (!window) Raise(Exception(L"Cannot create the window: " + SystemErrorText(GetLastError())));
    // Frames drawn by the system can differ from what AdjustWindowRectEx said:
    // make the client area exactly the recorded size.
    RECT client{}, frame{};
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    if (client.right != d.clientWidth || client.bottom != d.clientHeight)
        SetWindowPos(window, nullptr, 0, 0, (frame.right - frame.left) + d.clientWidth - client.right,
                     (frame.bottom - frame.top) + d.clientHeight - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    font_.reset(CreateFontW(d.fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            d.fontName));
    ControlPainter::ApplyDarkCaption(window);
}

void TForm::CreateControls(const TFormDescription& d) {
    std::map<HWND, RECT> areas;  // what each parent has left for aligned children
    for (const TControlDesc& desc : d.controls) {
        TWinControl* parentControl = desc.parent ? FindControl(desc.parent) : this;
        if (!parentControl)
            Raise(Exception(L"Parent " + std::wstring(desc.parent) + L" of " + desc.name + L" not found"));
        HWND parent = parentControl->Handle();
        RECT client = ClientRectOf(parent);
        // A group box (every parent but the form) lays its aligned children out
        // 2 pixels in from its frame and below its caption line (text height 13 plus 2).
        if (desc.parent) client = RECT{client.left + 2, client.top + 15, client.right - 2, client.bottom - 2};
        auto area = areas.try_emplace(parent, client).first;
        TControlDesc placed = desc;
        placed.bounds = Align(desc, area->second);
        std::unique_ptr<TControl> control = desc.kind(desc.name);
        control->CreateFrom(placed, parent, font_.get());
        controls_.push_back(std::move(control));
    }
}

void TForm::ApplyTabOrder(const TFormDescription& d) {
    // The dialog manager walks siblings in z-order: put them in tab order,
    // controls outside the tab order (-1, the largest as unsigned) last.
    std::vector<const TControlDesc*> ordered;
    for (const auto& desc : d.controls) ordered.push_back(&desc);
    std::ranges::stable_sort(ordered, {}, [](const TControlDesc* c) { return static_cast<unsigned>(c->tabOrder); });
    HWND previous = HWND_TOP;
    for (const TControlDesc* desc : ordered) {
        HWND window = FindControl(desc->name)->Handle();
        SetWindowPos(window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = window;
    }
}

void TForm::BindEvents(const TFormDescription& d) {
    for (size_t i = 0; i < d.controls.size(); ++i) {
        for (const TEventBinding& binding : d.controls[i].events) {
            TNotifyEvent handler = FindMethod(binding.handler);
            if (!handler || !controls_[i]->BindEvent(binding.event, handler))
                Raise(Exception(L"Invalid event binding " + std::wstring(d.controls[i].name) + L"." +
                                binding.event + L" = " + binding.handler));
        }
    }
}

void TForm::RunCreateHandler(const TFormDescription& d) {
    if (!d.onCreate) return;
    TNotifyEvent handler = FindMethod(d.onCreate);
    if (!handler) Raise(Exception(L"Invalid creation handler " + std::wstring(d.onCreate)));
    // Catch point: an error here is reported and the form is created all the same.
    try {
        handler(this);
    } catch (...) {
        HandleCaughtException(this);
    }
}

TWinControl* TForm::FindControl(const std::wstring& name) const {
    for (const auto& control : controls_)
        if (control->Name() == name) return control.get();
    return nullptr;
}

POINT TForm::CenteredPosition(const RECT& workArea, const RECT& desktop, SIZE windowSize) {
    return POINT{std::max<LONG>(desktop.left, ((workArea.right - workArea.left) - windowSize.cx) / 2),
                 std::max<LONG>(desktop.top, ((workArea.bottom - workArea.top) - windowSize.cy) / 2)};
}

void TForm::ShowFirstTime(int showCommand) {
    RECT work{}, window{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    GetWindowRect(Handle(), &window);
    const POINT p = CenteredPosition(work, desktop, {window.right - window.left, window.bottom - window.top});
    // A normal start is placed and shown in one move that leaves the erasing to
    // the paint below; ShowWindow erases the form and then each control in a
    // round of messages of its own (under Wine the slowest, least steady part).
    const UINT show = showCommand == SW_SHOWNORMAL ? SWP_SHOWWINDOW | SWP_DEFERERASE : SWP_NOACTIVATE;
    SetWindowPos(Handle(), nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | show);
    if (show == SWP_NOACTIVATE) ShowWindow(Handle(), showCommand);
    HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (first && showCommand != SW_SHOWMINNOACTIVE) SetFocus(first);
    UpdateWindow(Handle());
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_ACTIVATE:
            // Give the focus back to the control that had it when the form is
            // activated again.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
            } else if (lastFocus_ && IsWindow(lastFocus_) && !HIWORD(wParam)) {
                SetFocus(lastFocus_);
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            ControlPainter::FillBackground(Handle(), reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED:
            // High contrast switched on or off: repaint everything in the new look.
            Default(message, wParam, lParam);
            RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            return 0;
    }
    return Default(message, wParam, lParam);
}
