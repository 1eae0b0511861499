// The Tools window, free of any toolkit: the movie switch's two buttons and
// what closing the window does. A front-end's Tools window owns one and
// shows its widgets through ToolsWindowView.
#pragma once

#include <string>
#include <string_view>

#include "modstore/messages.h"

namespace tavrel {

// What every window of a front-end can do.
class WindowView {
public:
    virtual ~WindowView() = default;
    // Shows the window (modeless) and gives it the keyboard.
    virtual void showWindow() = 0;
    virtual bool isMinimised() const = 0;
    // Shows it again and puts it in front of the others.
    virtual void bringToFront() = 0;
};

class ToolsWindowView : public WindowView, public MessageHost {
public:
    // Closes the window as the user does.
    virtual void closeWindow() = 0;
};

class ToolsWindow {
public:
    // `mainWindow` is the main window that owns this one.
    ToolsWindow(ToolsWindowView& view, WindowView& mainWindow) : view_(view), main_(mainWindow) {}

    // The game folder exactly as the main window's folder box held it.
    std::string GeneralsFolder;

    void Command1_Click();  // "Enable"
    void Command2_Click();  // "Disable"
    // A click on the button named `control`, by the mouse, a key of
    // KeyTable() or a screen reader's action; "Close" closes the window.
    void click(std::string_view control);
    // The window is closed by the user: the main window comes back, unless
    // it is minimised. Never cancels the close.
    void Form_Unload();

    ToolsWindowView& view() { return view_; }

private:
    ToolsWindowView& view_;
    WindowView& main_;
};

}  // namespace tavrel
