#include "modstore/common_dialogs.h"

#include <filesystem>
#include <system_error>

#include "support/path_rules.h"

namespace tavrel {
namespace {

std::string CurrentDirectory() {
    std::error_code ec;
    const auto dir = std::filesystem::current_path(ec);
    return ec ? std::string() : dir.string();
}

}  // namespace

std::vector<FileFilter> SplitFilter(const std::string& filter) {
    std::vector<std::string> entries(1);
    for (const char c : filter) {
        if (c == '|' || c == ':') entries.emplace_back();
        else entries.back() += c;
    }
    std::vector<FileFilter> pairs;
    for (std::size_t i = 0; i + 1 < entries.size(); i += 2) pairs.push_back({entries[i], entries[i + 1]});
    return pairs;
}

std::string ShowFileDialog(DialogHost& host, bool saveMode, const std::string& filter,
                           const std::string& defaultResult, const std::string& title,
                           const std::string& defaultExt, const std::string& initialDir) {
    FileDialogRequest request;
    request.saveMode = saveMode;
    request.filters = SplitFilter(filter.empty() ? "All Files (*.*)|*.*" : filter);
    request.title = title.empty() ? "Select File..." : title;
    request.defaultExt = defaultExt;
    request.initialDir = initialDir.empty() ? CurrentDirectory() : initialDir;

    const std::optional<std::string> chosen = host.runFileDialog(request);
    if (!chosen || chosen->empty()) return defaultResult;
    std::string path = *chosen;
    const std::string name = FileGetName(path);
    if (!defaultExt.empty() && !name.empty() && name.find('.') == std::string::npos) path += "." + defaultExt;
    return path;
}

std::string ShowOpenFile(DialogHost& host, const std::string& filter, const std::string& defaultResult,
                         const std::string& title, const std::string& defaultExt,
                         const std::string& initialDir) {
    return ShowFileDialog(host, false, filter, defaultResult, title, defaultExt, initialDir);
}

std::vector<std::string> ShowOpenFiles(DialogHost& host, const std::string& filter, const std::string& title,
                                       const std::string& defaultExt, const std::string& initialDir) {
    FileDialogRequest request;
    request.filters = SplitFilter(filter.empty() ? "All Files (*.*)|*.*" : filter);
    request.title = title.empty() ? "Select File..." : title;
    request.initialDir = initialDir.empty() ? CurrentDirectory() : initialDir;
    request.defaultExt = defaultExt;
    request.multiSelect = true;
    std::vector<std::string> chosen = host.runOpenFiles(request);
    std::erase_if(chosen, [](const std::string& path) { return path.empty(); });
    return chosen;
}

std::string BrowseForFolder(DialogHost& host, const std::string& title, const std::string& startFolder,
                            std::int32_t flags) {
    FolderBrowserRequest request;
    request.title = title;
    request.startFolder = startFolder.empty() ? CurrentDirectory() : startFolder;
    request.flags = flags == 0 ? kDefaultBrowseFlags : flags;
    return host.runFolderBrowser(request).value_or("");
}

}  // namespace tavrel
