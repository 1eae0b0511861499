// Qt's file chooser and folder browser behind the DialogHost contract.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "modstore/common_dialogs.h"

class QFileDialog;
class QWidget;
class QString;

namespace tavrel {

// A description/pattern pair as a Qt name filter. On a case-sensitive file
// system the letters of the pattern match in either case ("*.big" also
// shows "MOD.BIG"); the description is shown as given.
QString QtNameFilter(const FileFilter& filter);

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& request);
// The open dialog in which several existing files may be picked together:
// every path picked, none when cancelled.
std::vector<std::string> RunOpenFiles(QWidget* parent, const FileDialogRequest& request);
std::optional<std::string> RunFolderBrowser(QWidget* parent, const FolderBrowserRequest& request);

// A seam for the window tests: while set, each file dialog and folder
// browser, ready to show, is handed to `act` instead of running modally;
// what it accepts (or not) is the answer. An empty function restores the
// modal dialogs.
void SetFileDialogHook(std::function<void(QFileDialog& dialog)> act);

}  // namespace tavrel
