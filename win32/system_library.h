// The system's larger libraries, loaded when first wanted (SystemFunction),
// and COM for the dialogs that need it.
#pragma once

#include <windows.h>

#include "support/system_library_win.h"

namespace tavrel {

// COM in this thread's single-threaded apartment, which the folder browser
// needs; started once, on first use, and left for the rest of the run.
bool UseCom();

}  // namespace tavrel
