// The file chooser and the folder browser as plain functions. What is handed
// to the dialog and what is made of its answer is decided here; the dialog
// itself belongs to the window (DialogHost), so that this runs the same
// against Qt's dialogs and a scripted host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrel {

struct FileFilter {
    std::string description;
    std::string pattern;  // one or more wildcards separated by ";"
};

struct FileDialogRequest {
    bool saveMode = false;
    std::vector<FileFilter> filters;
    std::size_t selectedFilter = 0;  // the first pair is preselected
    std::string title;
    std::string defaultExt;
    std::string initialDir;
    bool multiSelect = false;  // an open dialog in which several files may be picked together
};

struct FolderBrowserRequest {
    std::string title;        // the instruction line
    std::string startFolder;  // preselected
    std::int32_t flags = 0;
};

// The browser's default options: new dialog style, status text, nothing
// below network domains.
inline constexpr std::int32_t kDefaultBrowseFlags = 70;

class DialogHost {
public:
    virtual ~DialogHost() = default;
    // Modal; the chosen path, or nothing when the user cancels. A typed name
    // comes back even when no such file exists, and the save form never asks
    // about overwriting.
    virtual std::optional<std::string> runFileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> runFolderBrowser(const FolderBrowserRequest& request) = 0;
    // The open dialog with request.multiSelect: every file picked, in the
    // order the dialog gives them; nothing when the user cancels. A host
    // without such a dialog lets one file be picked.
    virtual std::vector<std::string> runOpenFiles(const FileDialogRequest& request) {
        std::optional<std::string> one = runFileDialog(request);
        if (!one || one->empty()) return {};
        return {*one};
    }
};

// "Desc|*.a|Desc 2|*.b": "|" and ":" both separate the entries, taken as
// description/pattern pairs.
std::vector<FileFilter> SplitFilter(const std::string& filter);

// The chosen file's path, or `defaultResult` when nothing was chosen. Empty
// arguments select the defaults: "All Files (*.*)|*.*", "Select File..." and
// the current directory. A chosen name without extension gets `defaultExt`.
std::string ShowFileDialog(DialogHost& host, bool saveMode, const std::string& filter,
                           const std::string& defaultResult, const std::string& title,
                           const std::string& defaultExt, const std::string& initialDir);

std::string ShowOpenFile(DialogHost& host, const std::string& filter, const std::string& defaultResult,
                         const std::string& title, const std::string& defaultExt,
                         const std::string& initialDir);

// ShowOpenFile for several files picked together: their paths, or none
// when the user cancelled.
std::vector<std::string> ShowOpenFiles(DialogHost& host, const std::string& filter, const std::string& title,
                                       const std::string& defaultExt, const std::string& initialDir);

// The chosen folder exactly as the browser gives it, or "" when cancelled.
// An empty start folder means the current directory; `flags` 0 selects
// kDefaultBrowseFlags.
std::string BrowseForFolder(DialogHost& host, const std::string& title, const std::string& startFolder,
                            std::int32_t flags);

}  // namespace tavrel
