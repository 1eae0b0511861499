// The window in which the user picks one mod out of an archive that holds
// several, built from ChooserLayout().
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QWidget;

namespace tavrel {

// Modal, with `rows` in its list and the first selected: the row chosen
// (OK, Enter, a double click), or nothing (Cancel, Escape, closed).
std::optional<std::size_t> ShowChooser(QWidget* parent, const std::vector<std::string>& rows);

// A seam for the window tests: while set, the chooser, ready to show, is
// handed to `act` instead of running modally; whether it accepts is the
// answer. An empty function restores the modal window.
void SetChooserHook(std::function<void(QDialog& dialog)> act);

}  // namespace tavrel
