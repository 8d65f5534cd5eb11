#include "framework/core/Form.h"

#include <algorithm>

#include "framework/core/Application.h"
#include "framework/core/Control.h"
#include "framework/theme/ControlPainter.h"

namespace {
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

// Inner area of a group box that aligned children fill: 2 pixels in from the
// frame, and below the caption line (text height 13 plus 2).
RECT GroupBoxInnerArea(HWND groupBox) {
    RECT r{};
    GetClientRect(groupBox, &r);
    return RECT{r.left + 2, r.top + 15, r.right - 2, r.bottom - 2};
}

TBounds Aligned(const TControlDesc& desc, const RECT& area) {
    const int width = area.right - area.left;
    switch (desc.align) {
        case TAlign::Top: return {area.left, area.top, width, desc.bounds.height};
        case TAlign::Bottom:
            return {area.left, area.bottom - desc.bounds.height, width, desc.bounds.height};
        case TAlign::Client: return {area.left, area.top, width, area.bottom - area.top};
        case TAlign::None: break;
    }
    return desc.bounds;
}
}  // namespace

TForm::TForm(std::wstring name) : TWinControl(std::move(name)) {}

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
    HINSTANCE instance = GetModuleHandleW(nullptr);
    icon_.reset(static_cast<HICON>(LoadImageW(instance, d.iconResource, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(instance, d.name, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = FormWindowProc;
        wc.hInstance = instance;
        wc.lpszClassName = d.name;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.hIcon = LoadIconW(instance, d.iconResource);
        wc.hIconSm = static_cast<HICON>(LoadImageW(instance, d.iconResource, IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        if (!RegisterClassExW(&wc)) Raise(Exception(L"Cannot register window class " + std::wstring(d.name)));
    }
    RECT outer{0, 0, d.clientWidth, d.clientHeight};
    AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
    HWND window = CreateWindowExW(kFormExStyle, d.name, d.caption, kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  instance, this);
    if (!window) Raise(Exception(L"Cannot create the window: " + SystemErrorText(GetLastError())));
    // Frames drawn by the system can differ from what AdjustWindowRectEx said:
    // make the client area exactly the recorded size.
    RECT client{};
    GetClientRect(window, &client);
    if (client.right != d.clientWidth || client.bottom != d.clientHeight) {
        RECT w{};
        GetWindowRect(window, &w);
        SetWindowPos(window, nullptr, 0, 0, (w.right - w.left) + d.clientWidth - client.right,
                     (w.bottom - w.top) + d.clientHeight - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    font_.reset(CreateFontW(d.fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, d.fontName));
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ControlPainter::ApplyDarkCaption(window);
}

HWND TForm::ParentWindowFor(const TControlDesc& desc) const {
    if (!desc.parent) return Handle();
    TWinControl* parent = FindControl(desc.parent);
    if (!parent) Raise(Exception(L"Parent " + std::wstring(desc.parent) + L" of " + desc.name + L" not found"));
    return parent->Handle();
}

void TForm::CreateControls(const TFormDescription& d) {
    for (const TControlDesc& desc : d.controls) {
        HWND parent = ParentWindowFor(desc);
        RECT area{};
        if (desc.parent) area = GroupBoxInnerArea(parent);
        else GetClientRect(parent, &area);
        // Client-aligned controls take what top- and bottom-aligned siblings left.
        if (desc.align == TAlign::Client) {
            for (const auto& control : controls_) {
                if (GetParent(control->Handle()) != parent) continue;
                RECT b = control->BoundsRect();
                if (b.top <= area.top && b.bottom > area.top) area.top = b.bottom;
            }
        }
        TControlDesc placed = desc;
        placed.bounds = Aligned(desc, area);
        auto control = CreateControlOfKind(desc.kind, desc.name);
        control->CreateFrom(placed, parent, font_.get());
        byName_[desc.name] = control.get();
        controls_.push_back(std::move(control));
    }
}

void TForm::ApplyTabOrder(const TFormDescription& d) {
    // The dialog manager walks siblings in z-order: put them in tab order,
    // controls outside the tab order last.
    std::vector<const TControlDesc*> ordered;
    for (const auto& desc : d.controls) ordered.push_back(&desc);
    std::stable_sort(ordered.begin(), ordered.end(), [](const TControlDesc* a, const TControlDesc* b) {
        const unsigned ka = static_cast<unsigned>(a->tabOrder), kb = static_cast<unsigned>(b->tabOrder);
        return ka < kb;  // -1 becomes the largest
    });
    HWND previous = HWND_TOP;
    for (const TControlDesc* desc : ordered) {
        HWND window = FindControl(desc->name)->Handle();
        SetWindowPos(window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = window;
    }
}

void TForm::BindEvents(const TFormDescription& d) {
    for (const TControlDesc& desc : d.controls) {
        auto* control = static_cast<TControl*>(FindControl(desc.name));
        for (const TEventBinding& binding : desc.events) {
            TNotifyEvent handler = FindMethod(binding.handler);
            if (!handler || !control->BindEvent(binding.event, handler))
                Raise(Exception(L"Invalid event binding " + std::wstring(desc.name) + L"." + binding.event +
                                L" = " + binding.handler));
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
        HandleCaughtException(this, reinterpret_cast<const void*>(&HandleCaughtException));
    }
}

TWinControl* TForm::FindControl(const std::wstring& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

POINT TForm::CenteredPosition(const RECT& workArea, const RECT& desktop, SIZE windowSize) {
    POINT p{((workArea.right - workArea.left) - windowSize.cx) / 2,
            ((workArea.bottom - workArea.top) - windowSize.cy) / 2};
    if (p.x < desktop.left) p.x = desktop.left;
    if (p.y < desktop.top) p.y = desktop.top;
    return p;
}

void TForm::ShowFirstTime(int showCommand) {
    if (!shown_) {
        RECT work{}, window{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const RECT desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
        GetWindowRect(Handle(), &window);
        const POINT p = CenteredPosition(work, desktop, {window.right - window.left, window.bottom - window.top});
        SetWindowPos(Handle(), nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        shown_ = true;
    }
    ShowWindow(Handle(), showCommand);
    if (showCommand != SW_SHOWMINNOACTIVE) {
        if (HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE)) SetFocus(first);
    }
    UpdateWindow(Handle());
}

void TForm::Close() {
    // No close-query or close handler exists: the answer is always yes, and
    // closing the main form ends the application. Nothing is saved.
    if (Application && Application->MainForm() == this) Application->Terminate();
    else ShowWindow(Handle(), SW_HIDE);
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
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(Handle(), &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, ControlPainter::BackgroundBrush());
            return 1;
        }
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED:
            // High contrast switched on or off: repaint everything in the new look.
            Default(message, wParam, lParam);
            RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam && Application) Application->EndSessionNow();
            return 0;
        default:
            break;
    }
    return Default(message, wParam, lParam);
}

LRESULT CALLBACK TForm::FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        static_cast<TForm*>(create->lpCreateParams)->AttachOwnWindow(window);
    }
    auto* self = static_cast<TForm*>(FromHandle(window));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return GuardedDispatch(self, message, wParam, lParam);
}
