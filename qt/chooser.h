// The window in which the user ticks the archives of a mod made of several
// and names the mod, built from ChooserLayout().
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "modstore/mod_window.h"

class QDialog;
class QWidget;

namespace tavrel {

// Modal, with `rows` in its checklist, every one ticked, and `name` in its
// name box; OK (and Enter) only while ChooserAccepts() holds. The rows
// ticked and the name as typed (OK, Enter), or nothing (Cancel, Escape,
// closed).
std::optional<ArchiveChoice> ShowChooser(QWidget* parent, const std::vector<std::string>& rows,
                                         const std::string& name);

// A seam for the window tests: while set, the chooser, ready to show, is
// handed to `act` instead of running modally; whether it accepts is the
// answer. An empty function restores the modal window.
void SetChooserHook(std::function<void(QDialog& dialog)> act);

}  // namespace tavrel
