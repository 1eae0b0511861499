// Modal message boxes titled "Tavrel". Enter answers the first button (OK,
// Yes); Escape answers Cancel or No.
#pragma once

#include <string>

#include "support/messages.h"

class QWidget;

namespace tavrel {

Answer ShowMessage(QWidget* parent, const std::string& text, Buttons buttons, Icon icon);

}  // namespace tavrel
