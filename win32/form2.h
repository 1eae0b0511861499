// The Tools window: disables or re-enables the game's start-up movies.
#pragma once

#include <functional>
#include <string>

#include "ui/tools_window.h"
#include "win32/form_window.h"

namespace tavrel {

class Form2 : public FormWindow, public ToolsWindowView {
public:
    // Loads the window, hidden, owned by `owner` (the main window, whose
    // view is `mainView`). `onGone` runs once the window has been
    // destroyed by a close; it may delete this object.
    Form2(HINSTANCE instance, HWND owner, WindowView& mainView, std::function<void()> onGone);
    // Unloads the window without the effects of a close by the user.
    ~Form2() override;

    ToolsWindow& tools() { return tools_; }

    // ToolsWindowView
    void closeWindow() override { ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); }
    void showWindow() override;
    bool isMinimised() const override;
    void bringToFront() override;
    Answer message(const std::string& text, Buttons buttons, Icon icon) override;

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    void clicked(const std::string& control) override { tools_.click(control); }
    void destroyed() override;

private:
    ToolsWindow tools_;
    std::function<void()> onGone_;
    HWND command1_ = nullptr;  // "Enable"
    HWND command2_ = nullptr;  // "Disable"
};

}  // namespace tavrel
