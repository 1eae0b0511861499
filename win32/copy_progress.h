// The progress window of a long copy, run on the GUI thread between steps.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "modstore/mod_window.h"

namespace tavrel {

// While it lives, `owner` and the windows it owns take no input, so that no
// other action starts in the middle of the copy; each update keeps them
// painted. A small window owned by `owner` with the text, a progress bar
// and Cancel shows once the copy has taken longer than a moment.
std::unique_ptr<CopyProgressView> MakeCopyProgress(HINSTANCE instance, HWND owner, const std::string& text);

}  // namespace tavrel
