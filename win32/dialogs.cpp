#include "win32/dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include "win32/system_library.h"
#include "win32/text.h"

namespace tavrel {
namespace {

// Room for a long path typed or picked in the chooser.
constexpr DWORD kPathBufferChars = 32768;

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

std::optional<std::string> RunFileDialog(HWND owner, const FileDialogRequest& request) {
    const std::wstring filter = FilterString(request.filters);
    const std::wstring title = Wide(request.title);
    const std::wstring defaultExt = Wide(request.defaultExt);
    const std::wstring initialDir = Wide(request.initialDir);
    std::wstring file(kPathBufferChars, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(request.selectedFilter) + 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathBufferChars;
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    // No check that the file exists nor question about replacing it: the
    // name comes back as typed. The program's current folder stays.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    UseCom();  // the Explorer-style chooser shows the shell's folders
    const auto run = SystemFunction<decltype(::GetOpenFileNameW)>(
        L"comdlg32.dll", request.saveMode ? "GetSaveFileNameW" : "GetOpenFileNameW");
    if (!run || !run(&ofn)) return std::nullopt;
    return Utf8(file.c_str());
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
