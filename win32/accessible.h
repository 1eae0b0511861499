// What screen readers see of the controls (MSAA): the system's own object
// of each control, served through WM_GETOBJECT with what the layout says
// in place of what the system would guess. oleacc and COM are loaded at
// the first request, never at start-up.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tavrel {

struct AccessibleTraits {
    LONG role = 0;                        // ROLE_SYSTEM_...; 0: the system's
    std::function<std::string()> name;    // empty: the system's (the control's text)
    std::string defaultAction;            // with `act`: the action's name ("Press")
    std::function<void()> act;            // run from the message loop, not inside the request
    std::string keyboardShortcut;         // the key a screen reader names with it ("Ctrl+D"); empty: none
    std::function<std::string()> description;  // empty: the system's; asked at each request
    bool focusable = false;               // takes the keyboard (a label-button on the tab order)
    bool unread = false;                  // not shown: invisible to screen readers
};

// Serves `control`'s accessible object with `traits`.
void ServeAccessible(HWND control, AccessibleTraits traits);

// Tells screen readers that the control's name has changed.
void AnnounceNameChange(HWND control);

}  // namespace tavrel
