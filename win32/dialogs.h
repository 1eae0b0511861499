// The system's file chooser and folder browser behind the DialogHost contract.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "modstore/common_dialogs.h"

namespace tavrel {

// The filter pairs as the chooser takes them: "description\0pattern\0"
// for each, and a closing "\0".
std::wstring FilterString(const std::vector<FileFilter>& filters);

// Modal, owned by `owner`: the chosen path, or nothing when cancelled.
std::optional<std::string> RunFileDialog(HWND owner, const FileDialogRequest& request);
std::optional<std::string> RunFolderBrowser(HWND owner, const FolderBrowserRequest& request);
// The open dialog in which several existing files may be picked together:
// every path picked, none when cancelled.
std::vector<std::string> RunOpenFiles(HWND owner, const FileDialogRequest& request);

// The paths in the buffer of an open dialog with OFN_ALLOWMULTISELECT and
// OFN_EXPLORER: "folder\0name\0name\0\0" for several files, the whole
// path alone for one.
std::vector<std::string> PickedPaths(std::wstring_view buffer);

}  // namespace tavrel
