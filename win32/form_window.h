// A top-level window built from layout data: its window class, the
// controls' colours, the keyboard focus kept across activation, and a new
// resolution when the window moves to another monitor.
#pragma once

#include <windows.h>

#include <string>

#include "win32/form_builder.h"

namespace tavrel {

class FormWindow {
public:
    FormWindow(const FormLayout& layout, HINSTANCE instance);
    virtual ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // The window; null once it has been destroyed.
    HWND hwnd() const { return hwnd_; }

protected:
    // Creates the window, hidden, owned by `owner`, with its controls and
    // sized to the layout at its resolution. Call from the derived
    // constructor: messages go to its handle() from here on.
    void createWindow(DWORD style, HWND owner);
    void destroyWindow();

    // The window's messages; what a derived form does not handle goes here.
    virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // The window has been destroyed (WM_NCDESTROY): the last call this
    // object gets from its window, which may delete the object.
    virtual void destroyed() {}
    // A click on the control named `control`: by the mouse on a
    // label-button, by its key of KeyTable(), or by a screen reader's action.
    virtual void clicked(const std::string& control) { (void)control; }
    // What a screen reader names the control by, at the moment it asks.
    virtual std::string accessibleName(const Control& control) { return AccessibleName(control); }

    FormControls& controls() { return controls_; }
    HINSTANCE instance() const { return instance_; }
    // Gives the keyboard focus to the control that had it last.
    void restoreFocus();

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void fitToLayout(const RECT* suggested);
    // The label-buttons, tooltips and accessible names of the layout, and
    // its keys.
    void serveNames();
    void connectKeys();
    void addTooltip(HWND control, const std::string& text);

    const FormLayout& layout_;
    HINSTANCE instance_;
    HACCEL keys_ = nullptr;
    HWND tooltips_ = nullptr;
    HWND hwnd_ = nullptr;
    HWND focus_ = nullptr;  // the control that had the focus when the window was last active
    FormControls controls_;
};

}  // namespace tavrel
