// Modal message boxes titled "Tavrel". Enter answers the first button (OK,
// Yes); Escape answers Cancel or No.
#pragma once

#include <functional>
#include <string>

#include "modstore/messages.h"

class QMessageBox;
class QWidget;

namespace tavrel {

Answer ShowMessage(QWidget* parent, const std::string& text, Buttons buttons, Icon icon);

// A seam for the window tests: while set, each message box, ready to show,
// is handed to `answer` instead of running modally; the button it clicks
// (or none) is the answer. An empty function restores the modal boxes.
void SetMessageBoxHook(std::function<void(QMessageBox& box)> answer);

}  // namespace tavrel
