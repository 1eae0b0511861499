// Where Windows players have the game: a Steam library, the folder its
// installer recorded in the registry, or Program Files.
#include <algorithm>

#include "game/game_locations.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {
namespace {

// A folder as the registry or Steam wrote it: either separator, and maybe a
// separator at the end.
std::string NativeFolder(std::string folder) {
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return FileCleanPath(folder);
}

}  // namespace

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
