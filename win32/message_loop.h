// The message loop. Keys go through the dialog manager for every window
// that holds controls (WS_EX_CONTROLPARENT), for Tab and the like.
#pragma once

#include <windows.h>

namespace tavrel {

// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop();

// Handles the messages waiting now, without waiting for more. False when
// it met WM_QUIT, which is posted again for the loop outside.
bool PumpPendingMessages();

}  // namespace tavrel
