#include "win32/message_loop.h"

#include <map>

namespace tavrel {
namespace {

std::map<HWND, HACCEL>& Accelerators() {
    static std::map<HWND, HACCEL> tables;
    return tables;
}

void Dispatch(MSG& msg) {
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root) {
        const auto table = Accelerators().find(root);
        if (table != Accelerators().end() && ::TranslateAcceleratorW(root, table->second, &msg)) return;
    }
    if (root && (::GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && ::IsDialogMessageW(root, &msg)) {
        return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

}  // namespace

void SetAccelerators(HWND window, HACCEL table) {
    if (table) Accelerators()[window] = table;
    else Accelerators().erase(window);
}

int RunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        Dispatch(msg);
    }
    return static_cast<int>(msg.wParam);
}

bool PumpPendingMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        Dispatch(msg);
    }
    return true;
}

void RunModalLoop(const bool& done) {
    MSG msg;
    while (!done) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

OwnerBlocked::OwnerBlocked(HWND owner) : owner_(owner), focus_(::GetFocus()) {
    ::EnumThreadWindows(::GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
    for (HWND w : blocked_) ::EnableWindow(w, FALSE);
}

void OwnerBlocked::release() {
    for (auto w = blocked_.rbegin(); w != blocked_.rend(); ++w) ::EnableWindow(*w, TRUE);
    blocked_.clear();
}

OwnerBlocked::~OwnerBlocked() {
    release();
    if (focus_ && ::IsWindow(focus_) && !::GetFocus() && ::GetActiveWindow() == ::GetAncestor(focus_, GA_ROOT)) {
        ::SetFocus(focus_);
    }
}

BOOL CALLBACK OwnerBlocked::Collect(HWND window, LPARAM self) {
    auto* blocked = reinterpret_cast<OwnerBlocked*>(self);
    const HWND owner = blocked->owner_;
    if ((window == owner || ::GetWindow(window, GW_OWNER) == owner) && ::IsWindowEnabled(window)) {
        blocked->blocked_.push_back(window);
    }
    return TRUE;
}

}  // namespace tavrel
