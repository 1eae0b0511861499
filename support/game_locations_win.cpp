// Where Windows players have the game: a Steam library, the folder its
// installer recorded in the registry, or Program Files.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

#include "support/game_locations.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"
#include "support/wide_text_win.h"

namespace tavrel {
namespace {

std::optional<std::string> ReadRegistryText(HKEY root, const std::string& key, const std::string& value, DWORD view) {
    DWORD bytes = 0;
    const std::wstring wideKey = Wide(key), wideValue = Wide(value);
    const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | view;
    if (::RegGetValueW(root, wideKey.c_str(), wideValue.c_str(), flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS ||
        bytes < sizeof(wchar_t)) {
        return std::nullopt;
    }
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(root, wideKey.c_str(), wideValue.c_str(), flags, nullptr, text.data(), &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(bytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return Utf8(text);
}

// A folder as the registry or Steam wrote it: either separator, and maybe a
// separator at the end.
std::string NativeFolder(std::string folder) {
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return FileCleanPath(folder);
}

}  // namespace

RegistryLookup SystemRegistry() {
    return [](const std::string& root, const std::string& key, const std::string& value) -> std::optional<std::string> {
        if (root == "HKCU") return ReadRegistryText(HKEY_CURRENT_USER, key, value, 0);
        if (root != "HKLM") return std::nullopt;
        // The game's installer is a 32-bit program: its record may be in
        // either view of the machine's registry.
        if (auto found = ReadRegistryText(HKEY_LOCAL_MACHINE, key, value, RRF_SUBKEY_WOW6432KEY)) return found;
        return ReadRegistryText(HKEY_LOCAL_MACHINE, key, value, RRF_SUBKEY_WOW6464KEY);
    };
}

std::string ProgramFilesFolder(const EnvLookup& env) { return env("programfiles").value_or(""); }

std::vector<SteamInstall> SteamInstalls(const GameSearch& search) {
    const auto steam = search.registry("HKCU", "Software\\Valve\\Steam", "SteamPath");
    if (!steam || steam->empty()) return {};
    SteamInstall install{NativeFolder(*steam), SteamInstall::Kind::Native, {}};
    const auto add = [&](const std::string& folder) {
        const std::string native = NativeFolder(folder);
        const bool seen = std::any_of(install.libraries.begin(), install.libraries.end(),
                                      [&](const std::string& known) { return EqualsNoCase(known, native); });
        if (!seen && IsFolder(native)) install.libraries.push_back(native);
    };
    add(install.root);
    for (const char* list : {"steamapps\\libraryfolders.vdf", "config\\libraryfolders.vdf"}) {
        for (const std::string& library : ParseLibraryFolders(ReadSmallText(JoinPath(install.root, list)))) add(library);
    }
    return {install};
}

std::vector<std::string> WinePrefixes(const GameSearch&) { return {}; }

std::optional<std::string> FindInstalledGame(bool zeroHour, const GameSearch& search) {
    for (const std::string& library : SteamLibraries(search)) {
        if (auto found = GameInSteamLibrary(library, zeroHour)) return found;
    }
    // The installers' records, in either view of the machine's registry.
    for (const auto& [key, value] : GameRecords(zeroHour)) {
        if (auto folder = search.registry("HKLM", "Software\\" + key, value)) {
            if (auto found = GameInRecordedFolder(NativeFolder(*folder), zeroHour)) return found;
        }
    }
    // The real Program Files folders: a 64-bit program's "programfiles" is
    // not where the game's 32-bit installer put it.
    for (const char* variable : {"ProgramFiles(x86)", "ProgramW6432", "ProgramFiles"}) {
        const std::string programFiles = search.env(variable).value_or("");
        if (programFiles.empty()) continue;
        for (std::string name : KnownInstallFolders(zeroHour)) {
            std::replace(name.begin(), name.end(), '/', '\\');
            if (const std::string folder = JoinPath(programFiles, name); HoldsGame(folder, zeroHour)) return folder;
        }
    }
    return std::nullopt;
}

}  // namespace tavrel
