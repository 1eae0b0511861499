#include "win32/dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

#include "win32/system_library.h"
#include "win32/text.h"

namespace tavrel {
namespace {

// Room for a long path typed or picked in the chooser.
constexpr DWORD kPathBufferChars = 32768;
// Room for the names of many files picked together (a mod's archives).
constexpr DWORD kManyPathsBufferChars = 1 << 20;

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM startFolder) {
    if (message == BFFM_INITIALIZED && startFolder) {
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, startFolder);
    }
    return 0;
}

}  // namespace

std::wstring FilterString(const std::vector<FileFilter>& filters) {
    std::wstring out;
    for (const FileFilter& f : filters) {
        out += Wide(f.description);
        out += L'\0';
        out += Wide(f.pattern);
        out += L'\0';
    }
    out += L'\0';
    return out;
}

namespace {

// The chooser of `request` over `file` (its size in characters), as
// GetOpenFileNameW or GetSaveFileNameW runs it: false when cancelled.
bool RunChooser(HWND owner, const FileDialogRequest& request, std::wstring& file, DWORD extraFlags) {
    const std::wstring filter = FilterString(request.filters);
    const std::wstring title = Wide(request.title);
    const std::wstring defaultExt = Wide(request.defaultExt);
    const std::wstring initialDir = Wide(request.initialDir);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(request.selectedFilter) + 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    // The program's current folder stays.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING | extraFlags;
    UseCom();  // the Explorer-style chooser shows the shell's folders
    const auto run = SystemFunction<decltype(::GetOpenFileNameW)>(
        L"comdlg32.dll", request.saveMode ? "GetSaveFileNameW" : "GetOpenFileNameW");
    return run && run(&ofn);
}

}  // namespace

std::optional<std::string> RunFileDialog(HWND owner, const FileDialogRequest& request) {
    std::wstring file(kPathBufferChars, L'\0');
    // No check that the file exists nor question about replacing it: the
    // name comes back as typed.
    if (!RunChooser(owner, request, file, 0)) return std::nullopt;
    return Utf8(file.c_str());
}

std::vector<std::string> RunOpenFiles(HWND owner, const FileDialogRequest& request) {
    FileDialogRequest open = request;
    open.saveMode = false;
    std::wstring buffer(kManyPathsBufferChars, L'\0');
    if (!RunChooser(owner, open, buffer, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST)) return {};
    return PickedPaths(buffer);
}

std::vector<std::string> PickedPaths(std::wstring_view buffer) {
    std::vector<std::wstring_view> parts;
    for (std::size_t at = 0; at < buffer.size() && buffer[at] != L'\0';) {
        const std::size_t end = std::min(buffer.find(L'\0', at), buffer.size());
        parts.push_back(buffer.substr(at, end - at));
        at = end + 1;
    }
    std::vector<std::string> paths;
    if (parts.size() == 1) paths.push_back(Utf8(parts.front()));
    for (std::size_t i = 1; i < parts.size(); ++i) {
        std::wstring path(parts.front());
        if (path.back() != L'\\') path += L'\\';  // "C:\" ends in one already
        paths.push_back(Utf8(path.append(parts[i])));
    }
    return paths;
}

std::optional<std::string> RunFolderBrowser(HWND owner, const FolderBrowserRequest& request) {
    const std::wstring title = Wide(request.title);
    const std::wstring start = Wide(request.startFolder);
    wchar_t displayName[MAX_PATH] = L"";

    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = static_cast<UINT>(request.flags);
    info.lpfn = BrowseCallback;
    info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    const auto browse = SystemFunction<decltype(::SHBrowseForFolderW)>(L"shell32.dll", "SHBrowseForFolderW");
    const auto pathOf = SystemFunction<decltype(::SHGetPathFromIDListW)>(L"shell32.dll", "SHGetPathFromIDListW");
    const auto release = SystemFunction<decltype(::CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
    if (!UseCom() || !browse || !pathOf || !release) return std::nullopt;
    PIDLIST_ABSOLUTE chosen = browse(&info);
    if (!chosen) return std::nullopt;
    // A place outside the file system (such as "Computer") has no path.
    wchar_t path[MAX_PATH] = L"";
    const bool hasPath = pathOf(chosen, path) != FALSE;
    release(chosen);
    return hasPath ? Utf8(path) : std::string();
}

}  // namespace tavrel
