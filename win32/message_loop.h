// The message loop. Keys go through the dialog manager for every window
// that holds controls (WS_EX_CONTROLPARENT), for Tab and the like.
#pragma once

#include <windows.h>

#include <vector>

namespace tavrel {

// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop();

// The keyboard accelerators of a top-level window, translated before the
// dialog manager sees a key; null takes them away.
void SetAccelerators(HWND window, HACCEL table);

// Handles the messages waiting now, without waiting for more. False when
// it met WM_QUIT, which is posted again for the loop outside.
bool PumpPendingMessages();

// Runs until `done` holds, for a modal window; WM_QUIT ends it too and is
// posted again for the loop outside.
void RunModalLoop(const bool& done);

// While one lives, `owner` and the windows it owns take no input, as under
// a modal window; afterwards they take it again, and the control that had
// the focus gets it back.
class OwnerBlocked {
public:
    explicit OwnerBlocked(HWND owner);
    // Gives the windows their input back; call it before destroying the
    // modal window, so that the owner is the window that comes back.
    void release();
    ~OwnerBlocked();
    OwnerBlocked(const OwnerBlocked&) = delete;
    OwnerBlocked& operator=(const OwnerBlocked&) = delete;

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM self);
    HWND owner_;
    HWND focus_;
    std::vector<HWND> blocked_;
};

}  // namespace tavrel
