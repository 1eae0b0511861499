// The system's file chooser and folder browser behind the DialogHost contract.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/common_dialogs.h"

namespace tavrel {

// The filter pairs as the chooser takes them: "description\0pattern\0"
// for each, and a closing "\0".
std::wstring FilterString(const std::vector<FileFilter>& filters);

// Modal, owned by `owner`: the chosen path, or nothing when cancelled.
std::optional<std::string> RunFileDialog(HWND owner, const FileDialogRequest& request);
std::optional<std::string> RunFolderBrowser(HWND owner, const FolderBrowserRequest& request);

}  // namespace tavrel
