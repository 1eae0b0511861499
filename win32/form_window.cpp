#include "win32/form_window.h"

#include "win32/dpi.h"
#include "win32/resources/resource_ids.h"

namespace tavrel {
namespace {

constexpr wchar_t kFormClass[] = L"TavrelForm";

void RegisterFormClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc{};
    if (::GetClassInfoExW(instance, kFormClass, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_TAVREL), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
    wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_TAVREL), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    ::RegisterClassExW(&wc);
}

}  // namespace

FormWindow::FormWindow(const FormLayout& layout, HINSTANCE instance) : instance_(instance), controls_(layout, instance) {}

FormWindow::~FormWindow() { destroyWindow(); }

void FormWindow::createWindow(DWORD style, HWND owner) {
    RegisterFormClass(instance_, Proc);
    ::CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, L"", style | WS_CLIPCHILDREN, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                      owner, nullptr, instance_, this);
    if (!hwnd_) return;
    controls_.create(hwnd_);
    focus_ = controls_.firstTabStop();
    fitToLayout(nullptr);
}

void FormWindow::destroyWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void FormWindow::fitToLayout(const RECT* suggested) {
    const SIZE client = controls_.clientSize();
    const SIZE size = WindowSizeFor(client.cx, client.cy, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                                    static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), controls_.dpi());
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!suggested) flags |= SWP_NOMOVE;
    ::SetWindowPos(hwnd_, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0, size.cx, size.cy,
                   flags);
}

void FormWindow::restoreFocus() {
    // Without a control to return to, the window itself takes the keys.
    ::SetFocus(focus_ && ::IsChild(hwnd_, focus_) && ::IsWindowEnabled(focus_) ? focus_ : hwnd_);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
            if (const auto brush =
                    controls_.colours(message, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
                return reinterpret_cast<LRESULT>(*brush);
            }
            break;
        case WM_DPICHANGED:
            controls_.applyDpi(HIWORD(wParam));
            fitToLayout(reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd_, focus)) focus_ = focus;
            } else if (!HIWORD(wParam)) {  // not while minimised
                restoreFocus();
            }
            return 0;
        case WM_SETFOCUS:
            if (focus_ && ::IsChild(hwnd_, focus_)) ::SetFocus(focus_);
            return 0;
        case WM_COMMAND:
            return 0;  // Enter and Escape (IDOK, IDCANCEL) from the dialog manager do nothing
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const LRESULT result = self->handle(message, wParam, lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->destroyed();  // may delete self
        return result;
    }
    return self->handle(message, wParam, lParam);
}

}  // namespace tavrel
