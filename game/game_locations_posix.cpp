// Where Linux players have the game: under Wine or Proton.
#include <algorithm>

#include "game/game_locations.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {

std::string ProgramFilesFolder(const EnvLookup& env) {
    if (auto value = env("PROGRAMFILES")) return *value;
    std::string prefix = env("WINEPREFIX").value_or("");
    if (prefix.empty()) prefix = JoinPath(HomeFolder(env), ".wine");
    const std::string driveC = JoinPath(prefix, "drive_c");
    const std::string x86 = JoinPath(driveC, "Program Files (x86)");
    return IsFolder(x86) ? x86 : JoinPath(driveC, "Program Files");
}

namespace {

// Sub-folders of `folder`, in listing order.
std::vector<std::string> SubFolders(const std::string& folder) {
    std::vector<DirEntry> entries;
    ListEntries(folder, entries);
    std::vector<std::string> out;
    for (const DirEntry& e : entries) {
        if (e.isFolder) out.push_back(JoinPath(folder, e.name));
    }
    return out;
}

// Where Wine prefixes are kept: $WINEPREFIX and ~/.wine, Lutris'
// ~/Games/*, Heroic's ~/Games/Heroic/Prefixes/*/*, Bottles (native and
// Flatpak), ~/.local/share/wineprefixes/*, then Proton's in each Steam
// library; only those with a drive C.
std::vector<std::string> PrefixesOf(const EnvLookup& env, const std::vector<std::string>& steamLibraries) {
    const std::string home = HomeFolder(env);
    std::vector<std::string> candidates;
    if (auto prefix = env("WINEPREFIX"); prefix && !prefix->empty()) candidates.push_back(*prefix);
    candidates.push_back(home + "/.wine");
    for (const std::string& folder : {home + "/Games", home + "/.local/share/bottles/bottles",
                                      home + "/.var/app/com.usebottles.bottles/data/bottles/bottles",
                                      home + "/.local/share/wineprefixes"}) {
        for (const std::string& prefix : SubFolders(folder)) candidates.push_back(prefix);
    }
    for (const std::string& store : SubFolders(home + "/Games/Heroic/Prefixes")) {
        for (const std::string& prefix : SubFolders(store)) candidates.push_back(prefix);
    }
    for (const std::string& library : steamLibraries) {
        for (const std::string& app : SubFolders(library + "/steamapps/compatdata")) candidates.push_back(app + "/pfx");
    }
    std::erase_if(candidates, [](const std::string& prefix) { return !IsFolder(prefix + "/drive_c"); });
    return candidates;
}

// The game in one prefix: where its installer's record in the prefix's
// registry leads (either registry view), then the installers' folders
// under drive C's Program Files.
std::optional<std::string> GameInPrefix(const std::string& prefix, bool zeroHour) {
    const std::string reg = ReadSmallText(prefix + "/system.reg");
    for (const char* view : {"Software\\", "Software\\Wow6432Node\\"}) {
        for (const auto& [key, value] : GameRecords(zeroHour)) {
            const auto recorded = reg.empty() ? std::nullopt : WineRegistryValue(reg, view + key, value);
            if (!recorded) continue;
            if (auto found = GameInRecordedFolder(WinePathToUnix(prefix, *recorded), zeroHour)) return found;
        }
    }
    for (const char* programFiles : {"/drive_c/Program Files", "/drive_c/Program Files (x86)"}) {
        for (const std::string& name : KnownInstallFolders(zeroHour)) {
            const std::string folder = prefix + programFiles + "/" + name;
            if (HoldsGame(folder, zeroHour)) return folder;
        }
    }
    return std::nullopt;
}

// A library on a removable drive: the drive itself or its SteamLibrary
// folder, holding steamapps.
std::vector<std::string> RemovableLibraries(const std::string& mediaRoot) {
    std::vector<std::string> drives;
    for (const std::string& folder : SubFolders(mediaRoot)) {
        drives.push_back(folder);  // /run/media/LABEL
        for (const std::string& drive : SubFolders(folder)) drives.push_back(drive);  // /run/media/USER/LABEL
    }
    std::vector<std::string> libraries;
    for (const std::string& drive : drives) {
        for (const std::string& library : {drive, drive + "/SteamLibrary"}) {
            if (IsFolder(library + "/steamapps")) libraries.push_back(library);
        }
    }
    return libraries;
}

}  // namespace

std::vector<SteamInstall> SteamInstalls(const GameSearch& search) {
    const std::string home = HomeFolder(search.env);
    using Kind = SteamInstall::Kind;
    const std::pair<std::string, Kind> roots[] = {
        {home + "/.local/share/Steam", Kind::Native},
        {home + "/.steam/steam", Kind::Native},
        {home + "/.steam/root", Kind::Native},
        {home + "/.steam/debian-installation", Kind::Native},
        {home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam", Kind::Flatpak},
        {home + "/.var/app/com.valvesoftware.Steam/data/Steam", Kind::Flatpak},
        {home + "/snap/steam/common/.local/share/Steam", Kind::Snap},
    };
    std::vector<SteamInstall> installs;
    std::vector<std::string> seen;  // canonical forms: ~/.steam/steam is mostly a link
    const auto firstTime = [&](const std::string& folder) {
        const auto canonical = RealPath(folder);
        if (!canonical || !IsFolder(*canonical) || std::find(seen.begin(), seen.end(), *canonical) != seen.end()) {
            return false;
        }
        seen.push_back(*canonical);
        return true;
    };
    for (const auto& [root, kind] : roots) {
        if (!firstTime(root)) continue;
        SteamInstall steam{root, kind, {root}};
        for (const char* list : {"/steamapps/libraryfolders.vdf", "/config/libraryfolders.vdf"}) {
            for (const std::string& library : ParseLibraryFolders(ReadSmallText(root + list))) {
                if (firstTime(library)) steam.libraries.push_back(library);
            }
        }
        installs.push_back(std::move(steam));
    }
    // A drive's library belongs to the Steam that put it there, which the
    // drive does not tell; the first Steam found takes it.
    for (const std::string& library : RemovableLibraries(search.mediaRoot)) {
        if (!firstTime(library)) continue;
        if (installs.empty()) installs.push_back(SteamInstall{});
        installs.front().libraries.push_back(library);
    }
    return installs;
}

std::vector<std::string> WinePrefixes(const GameSearch& search) { return PrefixesOf(search.env, SteamLibraries(search)); }

std::optional<std::string> FindInstalledGame(bool zeroHour, const GameSearch& search) {
    const std::vector<std::string> libraries = SteamLibraries(search);
    for (const std::string& library : libraries) {
        if (auto found = GameInSteamLibrary(library, zeroHour)) return found;
    }
    for (const std::string& prefix : PrefixesOf(search.env, libraries)) {
        if (auto found = GameInPrefix(prefix, zeroHour)) return found;
    }
    return std::nullopt;
}

}  // namespace tavrel
