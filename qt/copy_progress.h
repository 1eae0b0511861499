// The progress dialog of a long copy, run on the GUI thread between steps.
#pragma once

#include <memory>
#include <string>

#include "modstore/mod_window.h"

class QWidget;

namespace tavrel {

// Shows a window-modal progress dialog with Cancel once the copy has taken
// longer than a moment; until then the window is kept painted without
// taking input, so no other action can start in the middle of the copy.
std::unique_ptr<CopyProgressView> MakeCopyProgress(QWidget* parent, const std::string& text);

}  // namespace tavrel
