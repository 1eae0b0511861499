#include "win32/copy_progress.h"

#include <commctrl.h>

#include "ui/layout.h"
#include "win32/dpi.h"
#include "win32/form_builder.h"
#include "win32/message_loop.h"
#include "win32/text.h"

namespace tavrel {
namespace {

constexpr wchar_t kProgressClass[] = L"TavrelCopyProgress";
constexpr int kSteps = 1000;
constexpr ULONGLONG kShowAfterMs = 400;
// The window's client area and controls in pixels at 96 dots per inch.
constexpr int kWidth = 320, kHeight = 104, kMargin = 12;
constexpr RECT kTextRect{kMargin, 10, kWidth - kMargin, 42};
constexpr RECT kBarRect{kMargin, 46, kWidth - kMargin, 64};
constexpr RECT kCancelRect{kWidth - kMargin - 76, 72, kWidth - kMargin, 96};

class Win32CopyProgress : public CopyProgressView {
public:
    // The owner and its other windows wait; the focus comes back afterwards.
    Win32CopyProgress(HINSTANCE instance, HWND owner, const std::string& text) : blocked_(owner) {
        registerClass(instance);
        const int dpi = WindowDpi(owner);
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU, exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
        const SIZE size = WindowSizeFor(ScaleForDpi(kWidth, dpi), ScaleForDpi(kHeight, dpi), style, exStyle, dpi);
        RECT ownerRect{};
        ::GetWindowRect(owner, &ownerRect);
        window_ = ::CreateWindowExW(exStyle, kProgressClass, L"Tavrel", style,
                                    (ownerRect.left + ownerRect.right - size.cx) / 2,
                                    (ownerRect.top + ownerRect.bottom - size.cy) / 2, size.cx, size.cy, owner,
                                    nullptr, instance, this);
        font_ = CreateLayoutFont(Form1Layout().font, dpi);
        const auto child = [&](const wchar_t* windowClass, const std::wstring& caption, DWORD childStyle,
                               const RECT& r, int id) {
            HWND w = ::CreateWindowExW(0, windowClass, caption.c_str(), WS_CHILD | WS_VISIBLE | childStyle,
                                       ScaleForDpi(r.left, dpi), ScaleForDpi(r.top, dpi),
                                       ScaleForDpi(r.right - r.left, dpi), ScaleForDpi(r.bottom - r.top, dpi),
                                       window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
            ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
            return w;
        };
        child(L"STATIC", Wide(text), SS_LEFT | SS_NOPREFIX, kTextRect, -1);
        bar_ = child(PROGRESS_CLASSW, L"", PBS_SMOOTH, kBarRect, -1);
        ::SendMessageW(bar_, PBM_SETRANGE32, 0, kSteps);
        child(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, kCancelRect, IDCANCEL);
        started_ = ::GetTickCount64();
    }

    ~Win32CopyProgress() override {
        blocked_.release();
        if (window_) ::DestroyWindow(window_);
        if (font_) ::DeleteObject(font_);
    }

    bool update(std::uint64_t done, std::uint64_t total) override {
        const auto step = total == 0 ? kSteps : static_cast<int>(done * kSteps / total);
        ::SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(step), 0);
        if (!shown_ && window_ && ::GetTickCount64() - started_ >= kShowAfterMs) {
            shown_ = true;
            ::ShowWindow(window_, SW_SHOW);
            ::UpdateWindow(window_);
        }
        if (!PumpPendingMessages()) cancelled_ = true;  // the program is quitting
        return !cancelled_;
    }

private:
    static void registerClass(HINSTANCE instance) {
        WNDCLASSEXW wc{};
        if (::GetClassInfoExW(instance, kProgressClass, &wc)) return;
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Proc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kProgressClass;
        ::RegisterClassExW(&wc);
    }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        if (message == WM_NCCREATE) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<Win32CopyProgress*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
            case WM_COMMAND:
                // Cancel, Escape, and the close box below, ask to cancel; the copy ends the window.
                if (LOWORD(wParam) == IDCANCEL && self) self->cancelled_ = true;
                return 0;
            case WM_CLOSE:
                if (self) self->cancelled_ = true;
                return 0;
            case WM_NCDESTROY:
                if (self) self->window_ = nullptr;
                ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
                break;
            default:
                break;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    OwnerBlocked blocked_;
    HWND window_ = nullptr;
    HWND bar_ = nullptr;
    HFONT font_ = nullptr;
    ULONGLONG started_ = 0;
    bool shown_ = false;
    bool cancelled_ = false;
};

}  // namespace

std::unique_ptr<CopyProgressView> MakeCopyProgress(HINSTANCE instance, HWND owner, const std::string& text) {
    return std::make_unique<Win32CopyProgress>(instance, owner, text);
}

}  // namespace tavrel
