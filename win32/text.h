// UTF-8 inside the program, UTF-16 towards the system.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tavrel {

// Bytes that are not valid UTF-8 become U+FFFD.
std::wstring Wide(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string Utf8(std::wstring_view wide);

// A window's text, and setting it.
std::string ControlText(HWND window);
void SetControlText(HWND window, std::string_view text);

// The system's description of an error code, without the trailing line end.
std::string SystemErrorText(DWORD error);

}  // namespace tavrel
