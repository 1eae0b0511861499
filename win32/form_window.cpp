#include "win32/form_window.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <vector>

#include "ui/keys.h"
#include "win32/accessible.h"
#include "win32/dpi.h"
#include "win32/message_loop.h"
#include "win32/resources/resource_ids.h"
#include "win32/text.h"
#include "win32/widgets.h"

namespace tavrel {
namespace {

constexpr wchar_t kFormClass[] = L"TavrelForm";
constexpr WORD kKeyCommand = 0x7000;  // the accelerators' commands: this plus the key's place in KeyTable()

WPARAM VirtualKey(Key key) {
    switch (key) {
        case Key::Enter: return VK_RETURN;
        case Key::Escape: return VK_ESCAPE;
        case Key::Delete: return VK_DELETE;
        case Key::F1: return VK_F1;
        case Key::D: return 'D';
        case Key::E: return 'E';
        case Key::O: return 'O';
        case Key::P: return 'P';
        case Key::T: return 'T';
    }
    return 0;
}

bool Held(int key) { return ::GetKeyState(key) < 0; }

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

FormWindow::FormWindow(const FormLayout& layout, HINSTANCE instance)
    : layout_(layout), instance_(instance), controls_(layout, instance) {}

FormWindow::~FormWindow() {
    destroyWindow();
    if (keys_) ::DestroyAcceleratorTable(keys_);
}

void FormWindow::createWindow(DWORD style, HWND owner) {
    RegisterFormClass(instance_, Proc);
    ::CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, L"", style | WS_CLIPCHILDREN, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                      owner, nullptr, instance_, this);
    if (!hwnd_) return;
    controls_.create(hwnd_);
    focus_ = controls_.firstTabStop();
    fitToLayout(nullptr);
    serveNames();
    connectKeys();
    // The control that holds the keyboard shows it from the start, not only
    // once a key has been pressed.
    ::SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void FormWindow::serveNames() {
    const HCURSOR pointer = ::LoadCursorW(instance_, MAKEINTRESOURCEW(IDC_POINTER));
    for (const Control& c : layout_.controls) {
        HWND control = controls_[c.name];
        AccessibleTraits traits;
        if (!c.accessibleName.empty()) traits.name = [this, &c] { return accessibleName(c); };
        if (c.live) traits.role = ROLE_SYSTEM_STATUSBAR;
        traits.unread = c.unread;
        if (c.kind == ControlKind::LabelButton) {
            const auto click = [this, name = c.name] { clicked(name); };
            MakeLabelButton(control, pointer, click);
            traits.role = ROLE_SYSTEM_PUSHBUTTON;
            traits.defaultAction = "Press";
            traits.act = click;
            traits.focusable = c.tabIndex >= 0;
            // The button's key, as its tooltip names it ("Ctrl+D", "Enter in the list").
            if (const KeyBinding* key = KeyOf(layout_.name, c.name)) traits.keyboardShortcut = std::string(key->text);
            if (const auto tip = KeyTip(layout_, c.name)) addTooltip(control, *tip);
        }
        if (traits.role || traits.name || traits.unread) ServeAccessible(control, std::move(traits));
    }
    // A window that says what it is for is a dialog with that description,
    // which a screen reader reads as it opens.
    if (!layout_.describedBy.empty()) {
        AccessibleTraits window;
        window.role = ROLE_SYSTEM_DIALOG;
        // The describing control's text as it is now: the Add-ons window's
        // says whose add-ons it shows.
        HWND describing = controls_[layout_.describedBy];
        window.description = [describing] { return ControlText(describing); };
        ServeAccessible(hwnd_, std::move(window));
    }
}

void FormWindow::connectKeys() {
    // Keys anywhere in the window are accelerators; keys of one control go
    // to it alone, which asks the key table what they stand for there.
    std::vector<ACCEL> table;
    std::vector<std::string_view> catching;
    const auto keys = KeyTable();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const KeyBinding& k = keys[i];
        if (k.form != layout_.name) continue;
        if (!k.focus.empty()) {
            if (std::find(catching.begin(), catching.end(), k.focus) != catching.end()) continue;
            catching.push_back(k.focus);
            CatchKeys(controls_[k.focus], [this, focus = k.focus](WPARAM virtualKey) {
                for (const KeyBinding& known : KeyTable()) {
                    if (VirtualKey(known.key) != virtualKey) continue;
                    const KeyBinding* b = FindKey(layout_.name, known.key, Held(VK_CONTROL), Held(VK_SHIFT), focus);
                    if (!b) return false;
                    clicked(std::string(b->control));
                    return true;
                }
                return false;
            });
            continue;
        }
        const BYTE flags = FVIRTKEY | (k.ctrl ? FCONTROL : 0) | (k.shift ? FSHIFT : 0);
        table.push_back({flags, static_cast<WORD>(VirtualKey(k.key)), static_cast<WORD>(kKeyCommand + i)});
    }
    if (!table.empty()) {
        keys_ = ::CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
        SetAccelerators(hwnd_, keys_);
    }
}

void FormWindow::addTooltip(HWND control, const std::string& text) {
    if (!tooltips_) {
        tooltips_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    }
    const std::wstring wide = Wide(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(wide.c_str());
    ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
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
                // A window told again that it is active (as Wine does when
                // the X focus is set on it) keeps the control it is in.
                HWND focus = ::GetFocus();
                if (!focus || !::IsChild(hwnd_, focus)) restoreFocus();
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
    // An accelerator of KeyTable(), before a form's own commands: the click
    // it stands for.
    if (message == WM_COMMAND && HIWORD(wParam) == 1 && LOWORD(wParam) >= kKeyCommand &&
        LOWORD(wParam) < kKeyCommand + KeyTable().size()) {
        self->clicked(std::string(KeyTable()[LOWORD(wParam) - kKeyCommand].control));
        return 0;
    }
    if (message == WM_NCDESTROY) {
        SetAccelerators(window, nullptr);
        const LRESULT result = self->handle(message, wParam, lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->destroyed();  // may delete self
        return result;
    }
    return self->handle(message, wParam, lParam);
}

}  // namespace tavrel
