// Where Windows players have the game: Program Files, the folder its
// installer recorded in the registry, or a Steam library.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>

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

std::string GameName(bool zeroHour) {
    return zeroHour ? "Command and Conquer Generals Zero Hour" : "Command and Conquer Generals";
}

// A folder as the registry or Steam wrote it: either separator, and maybe a
// separator at the end.
std::string NativeFolder(std::string folder) {
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return FileCleanPath(folder);
}

std::string ReadText(const std::string& path) {
    std::ifstream in(Wide(path).c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The game's folder among Steam's: a folder of the library's
// steamapps\common, or one level below it, that holds the game's program and
// whose name says which game it is.
std::optional<std::string> GameInSteamLibrary(const std::string& library, bool zeroHour) {
    const auto isGame = [&](const DirEntry& e) {
        const bool named = ContainsNoCase(e.name, "generals") || ContainsNoCase(e.name, "zero hour");
        return e.isFolder && named && ContainsNoCase(e.name, "zero hour") == zeroHour;
    };
    const auto holdsProgram = [](const std::string& folder) {
        return IsRegularFile(JoinPath(folder, "generals.exe")) || IsRegularFile(JoinPath(folder, "game.dat"));
    };
    const std::string common = JoinPath(JoinPath(library, "steamapps"), "common");
    std::vector<DirEntry> apps;
    ListEntries(common, apps);
    for (const DirEntry& app : apps) {
        if (!app.isFolder) continue;
        const std::string appFolder = JoinPath(common, app.name);
        if (isGame(app) && holdsProgram(appFolder)) return appFolder;
        std::vector<DirEntry> inner;
        ListEntries(appFolder, inner);
        for (const DirEntry& e : inner) {
            if (isGame(e) && holdsProgram(JoinPath(appFolder, e.name))) return JoinPath(appFolder, e.name);
        }
    }
    return std::nullopt;
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

std::vector<std::string> SteamLibraries(const EnvLookup&, const RegistryLookup& registry) {
    std::vector<std::string> libraries;
    const auto steam = registry("HKCU", "Software\\Valve\\Steam", "SteamPath");
    if (!steam || steam->empty()) return libraries;
    const std::string root = NativeFolder(*steam);
    const auto add = [&](const std::string& folder) {
        const std::string native = NativeFolder(folder);
        const bool seen = std::any_of(libraries.begin(), libraries.end(),
                                      [&](const std::string& known) { return EqualsNoCase(known, native); });
        if (!seen && IsFolder(native)) libraries.push_back(native);
    };
    add(root);
    for (const char* list : {"steamapps\\libraryfolders.vdf", "config\\libraryfolders.vdf"}) {
        for (const std::string& library : ParseLibraryFolders(ReadText(JoinPath(root, list)))) add(library);
    }
    return libraries;
}

std::optional<std::string> FindInstalledGame(bool zeroHour, const EnvLookup& env, const RegistryLookup& registry) {
    const std::string game = GameName(zeroHour);
    // The real Program Files folders: a 64-bit program's "programfiles" is
    // not where the game's 32-bit installer put it.
    for (const char* variable : {"ProgramFiles(x86)", "ProgramW6432", "ProgramFiles"}) {
        const std::string programFiles = env(variable).value_or("");
        if (programFiles.empty()) continue;
        for (const std::string& candidate :
             {JoinPath(JoinPath(programFiles, "EA Games"), game), JoinPath(programFiles, game)}) {
            if (IsFolder(candidate)) return candidate;
        }
    }
    const std::string record = zeroHour ? "Software\\Electronic Arts\\EA Games\\Command and Conquer Generals Zero Hour"
                                        : "Software\\Electronic Arts\\EA Games\\Generals";
    for (const char* value : {"InstallPath", "Install Dir"}) {
        if (auto folder = registry("HKLM", record, value); folder && IsFolder(NativeFolder(*folder))) {
            return NativeFolder(*folder);
        }
    }
    for (const std::string& library : SteamLibraries(env, registry)) {
        if (auto found = GameInSteamLibrary(library, zeroHour)) return found;
    }
    return std::nullopt;
}

}  // namespace tavrel
