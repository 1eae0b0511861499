// Window texts and system messages, as UTF-8.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "support/wide_text_win.h"

namespace tavrel {

// A window's text, and setting it.
std::string ControlText(HWND window);
void SetControlText(HWND window, std::string_view text);

// The system's description of an error code, without the trailing line end.
std::string SystemErrorText(DWORD error);

}  // namespace tavrel
