#include "win32/widgets.h"

#include <commctrl.h>
#include <windowsx.h>

#include "ui/main_window_logic.h"
#include "win32/text.h"

namespace tavrel {
namespace {

constexpr wchar_t kPictureClass[] = L"TavrelPicture";

struct Picture {
    HBITMAP bitmap = nullptr;
    HICON icon = nullptr;
    MouseUpHandler onMouseUp;
};

Picture* PictureOf(HWND window) { return reinterpret_cast<Picture*>(::GetWindowLongPtrW(window, GWLP_USERDATA)); }

void ClearPicture(Picture& p) {
    if (p.bitmap) ::DeleteObject(p.bitmap);
    if (p.icon) ::DestroyIcon(p.icon);
    p.bitmap = nullptr;
    p.icon = nullptr;
}

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_XBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK ||
           message == WM_MBUTTONDBLCLK || message == WM_XBUTTONDBLCLK;
}

bool IsButtonUp(UINT message) {
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP || message == WM_XBUTTONUP;
}

bool AnyButtonHeld(WPARAM keyState) {
    return (keyState & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2)) != 0;
}

bool InClientArea(HWND window, LPARAM position) {
    RECT client;
    ::GetClientRect(window, &client);
    const POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    return ::PtInRect(&client, point) != FALSE;
}

void PaintPicture(HWND window, const Picture& p) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT client;
    ::GetClientRect(window, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    if (p.bitmap) {
        BITMAP info{};
        ::GetObjectW(p.bitmap, sizeof info, &info);
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(source, p.bitmap);
        ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
        ::SelectObject(source, old);
        ::DeleteDC(source);
    } else if (p.icon) {
        ::DrawIconEx(dc, 0, 0, p.icon, client.right, client.bottom, 0, nullptr, DI_NORMAL);
    }
    // The keyboard focus shows, whether or not the keyboard was used yet.
    if (::GetFocus() == window) {
        RECT inner = client;
        ::InflateRect(&inner, -1, -1);
        ::DrawFocusRect(dc, &inner);
    }
    ::EndPaint(window, &paint);
}

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    Picture* p = PictureOf(window);
    switch (message) {
        case WM_NCCREATE:
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Picture));
            break;
        case WM_NCDESTROY:
            if (p) {
                ClearPicture(*p);
                delete p;
                ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            }
            break;
        case WM_NCHITTEST:
            if (p && !p->onMouseUp) return HTTRANSPARENT;
            break;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers it all
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(window, nullptr, FALSE);  // the focus mark
            break;
        case WM_PAINT:
            if (p) {
                PaintPicture(window, *p);
                return 0;
            }
            break;
        // Labels inside the picture take their colours from the form.
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_COMMAND:
            return ::SendMessageW(::GetParent(window), message, wParam, lParam);
        default:
            if (p && IsButtonDown(message)) {
                if (::GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP) ::SetFocus(window);
                ::SetCapture(window);  // the release comes here wherever it happens
                return message == WM_XBUTTONDOWN || message == WM_XBUTTONDBLCLK ? TRUE : 0;
            }
            if (p && IsButtonUp(message)) {
                if (!AnyButtonHeld(GET_KEYSTATE_WPARAM(wParam)) && ::GetCapture() == window) ::ReleaseCapture();
                if (p->onMouseUp) {
                    const MouseUpHandler handler = p->onMouseUp;  // the handler may replace it
                    handler(MouseButtonOf(message), ShiftKeysOf(GET_KEYSTATE_WPARAM(wParam)));
                }
                return message == WM_XBUTTONUP ? TRUE : 0;
            }
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterPictureClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    if (::GetClassInfoExW(instance, kPictureClass, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = PictureProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kPictureClass;
    ::RegisterClassExW(&wc);
}

// The state of a subclassed control, deleted with the control.
template <typename State>
LRESULT Forward(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, State* state) {
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, State::Proc, id);
        delete state;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

// A control's own painting with the focus rectangle drawn over it.
LRESULT PaintWithFocus(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    HDC dc = ::GetDC(window);
    RECT inside;
    ::GetClientRect(window, &inside);
    ::DrawFocusRect(dc, &inside);
    ::ReleaseDC(window, dc);
    return result;
}

struct LabelButton {
    HCURSOR pointer;
    std::function<void()> onClick;
    bool pressed = false;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data) noexcept {
        auto* self = reinterpret_cast<LabelButton*>(data);
        switch (message) {
            case WM_SETCURSOR:
                ::SetCursor(self->pointer);
                return TRUE;
            // On the tab order it takes Space and Enter (no default button
            // of the dialog manager's), and shows the focus.
            case WM_GETDLGCODE:
                if (lParam) {
                    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
                    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_SPACE)) {
                        return ::DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTMESSAGE;
                    }
                }
                break;
            case WM_KEYDOWN:
                if ((wParam == VK_RETURN || wParam == VK_SPACE) && !(lParam & (1 << 30))) {  // not a repeat
                    const std::function<void()> onClick = self->onClick;
                    onClick();
                    return 0;
                }
                break;
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                ::InvalidateRect(window, nullptr, TRUE);
                break;
            case WM_PAINT:
                if (::GetFocus() == window) return PaintWithFocus(window, message, wParam, lParam);
                break;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:  // a quick second click is a click as well
                self->pressed = true;
                ::SetCapture(window);
                return 0;
            case WM_LBUTTONUP: {
                const bool click = self->pressed && InClientArea(window, lParam);
                self->pressed = false;
                if (::GetCapture() == window) ::ReleaseCapture();
                if (click) {
                    const std::function<void()> onClick = self->onClick;  // the click may end the control
                    onClick();
                }
                return 0;
            }
            case WM_CAPTURECHANGED:
                self->pressed = false;
                break;
            default:
                break;
        }
        return Forward(window, message, wParam, lParam, id, self);
    }
};

struct MouseUpCheckBox {
    MouseUpHandler onMouseUp;
    std::function<void()> onKeyToggle;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data) noexcept {
        auto* self = reinterpret_cast<MouseUpCheckBox*>(data);
        if (message == WM_KEYUP && wParam == VK_SPACE) {
            // The check box flips its tick as Space comes up.
            const LRESULT before = ::SendMessageW(window, BM_GETCHECK, 0, 0);
            const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
            if (::SendMessageW(window, BM_GETCHECK, 0, 0) != before && self->onKeyToggle) {
                const std::function<void()> handler = self->onKeyToggle;
                handler();
            }
            return result;
        }
        if (IsButtonUp(message)) {
            // The check box's own handling flips the tick on a left click first.
            const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
            if (InClientArea(window, lParam)) {
                const MouseUpHandler handler = self->onMouseUp;
                handler(MouseButtonOf(message), ShiftKeysOf(GET_KEYSTATE_WPARAM(wParam)));
            }
            return result;
        }
        return Forward(window, message, wParam, lParam, id, self);
    }
};

// Keys a control acts on before the dialog manager takes them (Enter would
// be the dialog's OK).
struct KeyCatcher {
    std::function<bool(WPARAM)> onKey;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data) noexcept {
        auto* self = reinterpret_cast<KeyCatcher*>(data);
        if (message == WM_GETDLGCODE && lParam) {
            const MSG* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_DELETE)) {
                return ::DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTMESSAGE;
            }
        }
        if (message == WM_KEYDOWN) {
            const std::function<bool(WPARAM)> handler = self->onKey;  // the handler may end the control
            if (handler(wParam)) return 0;
        }
        return Forward(window, message, wParam, lParam, id, self);
    }
};

}  // namespace

HWND CreatePictureWindow(HINSTANCE instance, HWND parent, int id, DWORD style, DWORD exStyle) {
    RegisterPictureClass(instance);
    return ::CreateWindowExW(exStyle, kPictureClass, L"", style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void SetPictureBitmap(HWND picture, HBITMAP bitmap) {
    if (Picture* p = PictureOf(picture)) {
        ClearPicture(*p);
        p->bitmap = bitmap;
        ::InvalidateRect(picture, nullptr, TRUE);
    } else if (bitmap) {
        ::DeleteObject(bitmap);
    }
}

void SetPictureIcon(HWND picture, HICON icon) {
    if (Picture* p = PictureOf(picture)) {
        ClearPicture(*p);
        p->icon = icon;
        ::InvalidateRect(picture, nullptr, TRUE);
    } else if (icon) {
        ::DestroyIcon(icon);
    }
}

void SetPictureMouseUp(HWND picture, MouseUpHandler onMouseUp) {
    if (Picture* p = PictureOf(picture)) p->onMouseUp = std::move(onMouseUp);
}

void MakeLabelButton(HWND label, HCURSOR pointer, std::function<void()> onClick) {
    auto* state = new LabelButton{pointer, std::move(onClick)};
    ::SetWindowSubclass(label, LabelButton::Proc, 1, reinterpret_cast<DWORD_PTR>(state));
}

void ReportCheckBoxMouseUp(HWND checkBox, MouseUpHandler onMouseUp, std::function<void()> onKeyToggle) {
    auto* state = new MouseUpCheckBox{std::move(onMouseUp), std::move(onKeyToggle)};
    ::SetWindowSubclass(checkBox, MouseUpCheckBox::Proc, 1, reinterpret_cast<DWORD_PTR>(state));
}

HWND CreateCheckList(HINSTANCE instance, HWND parent, int id, DWORD style, DWORD exStyle) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    HWND list = ::CreateWindowExW(exStyle, WC_LISTVIEWW, L"",
                                  style | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0,
                                  0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!list) return nullptr;
    const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    return list;
}

void AddCheckListRow(HWND list, const std::string& text, bool ticked) {
    std::wstring wide = Wide(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = wide.data();
    const auto row = ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (row < 0) return;
    SetCheckListTick(list, static_cast<std::size_t>(row), ticked);
    FitCheckListColumn(list);  // a scroll bar may have come
}

void SetCheckListTick(HWND list, std::size_t row, bool ticked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
    ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

std::vector<bool> CheckListTicks(HWND list) {
    std::vector<bool> ticks;
    const auto count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        const auto state = ::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
        ticks.push_back(((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12) == 2);
    }
    return ticks;
}

void FitCheckListColumn(HWND list) {
    RECT inside{};
    ::GetClientRect(list, &inside);
    ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(inside.right - inside.left, 0));
}

bool IsTickChange(const NMHDR& notification) {
    if (notification.code != LVN_ITEMCHANGED) return false;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(notification);
    return (change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK);
}

void CatchKeys(HWND control, std::function<bool(WPARAM key)> onKey) {
    auto* state = new KeyCatcher{std::move(onKey)};
    ::SetWindowSubclass(control, KeyCatcher::Proc, 3, reinterpret_cast<DWORD_PTR>(state));
}

int MouseButtonOf(UINT message) {
    switch (message) {
        case WM_LBUTTONUP: case WM_LBUTTONDOWN: return kLeftButton;
        case WM_RBUTTONUP: case WM_RBUTTONDOWN: return kRightButton;
        case WM_MBUTTONUP: case WM_MBUTTONDOWN: return kMiddleButton;
        default: return 0;
    }
}

int ShiftKeysOf(WPARAM keyState) {
    const auto held = [](int key) { return ::GetKeyState(key) < 0; };
    return (keyState & MK_SHIFT ? kShiftKey : 0) | (keyState & MK_CONTROL ? kCtrlKey : 0) |
           (held(VK_MENU) ? kAltKey : 0) | (held(VK_LWIN) || held(VK_RWIN) ? kOtherKey : 0);
}

}  // namespace tavrel
