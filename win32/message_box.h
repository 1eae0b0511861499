// Modal message boxes titled "Tavrel", owned by a window.
#pragma once

#include <windows.h>

#include <string>

#include "modstore/messages.h"

namespace tavrel {

// MessageBoxW's style for the buttons and the icon.
UINT MessageBoxStyle(Buttons buttons, Icon icon);

// The answer of MessageBoxW's result: the button's, and for anything else
// (a failed box, or an answer the box had no button for) the escape answer.
Answer AnswerOf(int result, Buttons buttons);

Answer ShowMessage(HWND owner, const std::string& text, Buttons buttons, Icon icon);

}  // namespace tavrel
