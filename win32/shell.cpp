#include "win32/shell.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>

#include "win32/system_library.h"
#include "win32/text.h"

namespace tavrel {

std::string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return {};
    if (cut == 2 && path[1] == L':') ++cut;  // "C:\"
    return Utf8(path.substr(0, cut));
}

std::string UserDataFolder() {
    std::string base;
    const auto known = SystemFunction<decltype(::SHGetKnownFolderPath)>(L"shell32.dll", "SHGetKnownFolderPath");
    const auto release = SystemFunction<decltype(::CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
    PWSTR folder = nullptr;
    if (known && release && SUCCEEDED(known(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &folder))) {
        base = Utf8(folder);
    } else if (const wchar_t* fromEnvironment = ::_wgetenv(L"LOCALAPPDATA")) {
        base = Utf8(fromEnvironment);
    }
    if (release) release(folder);
    return base + "\\TVL";
}

std::optional<std::string> StartNotepad(const std::string& path) {
    std::wstring command = L"notepad.exe \"" + Wide(path) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return SystemErrorText(::GetLastError());
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return std::nullopt;
}

}  // namespace tavrel
