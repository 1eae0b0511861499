#include "win32/form2.h"

#include "win32/message_box.h"

namespace tavrel {

Form2::Form2(HINSTANCE instance, HWND owner, WindowView& mainView, std::function<void()> onGone)
    : FormWindow(Form2Layout(), instance), tools_(*this, mainView), onGone_(std::move(onGone)) {
    createWindow(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, owner);
    if (!hwnd()) return;
    command1_ = controls()["Command1"];
    command2_ = controls()["Command2"];
}

Form2::~Form2() {
    onGone_ = nullptr;
    destroyWindow();
}

void Form2::showWindow() {
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    restoreFocus();
}

bool Form2::isMinimised() const { return ::IsIconic(hwnd()) != FALSE; }

void Form2::bringToFront() { showWindow(); }

Answer Form2::message(const std::string& text, Buttons buttons, Icon icon) {
    return ShowMessage(hwnd(), text, buttons, icon);
}

LRESULT Form2::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                const auto control = reinterpret_cast<HWND>(lParam);
                if (control && control == command1_) tools_.click("Command1");
                if (control && control == command2_) tools_.click("Command2");
            }
            return 0;
        case WM_CLOSE:
            tools_.Form_Unload();
            destroyWindow();
            return 0;
        default:
            return FormWindow::handle(message, wParam, lParam);
    }
}

void Form2::destroyed() {
    const std::function<void()> gone = std::move(onGone_);
    if (gone) gone();
}

}  // namespace tavrel
