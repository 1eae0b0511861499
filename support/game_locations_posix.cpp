// Where Linux players have the game: under Wine or Proton.
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "support/game_locations.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {
namespace {

std::string HomeFolder(const EnvLookup& env) {
    if (auto home = env("HOME"); home && !home->empty()) return *home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

}  // namespace

RegistryLookup SystemRegistry() {
    return [](const std::string&, const std::string&, const std::string&) { return std::optional<std::string>(); };
}

std::string ProgramFilesFolder(const EnvLookup& env) {
    if (auto value = env("PROGRAMFILES")) return *value;
    std::string prefix = env("WINEPREFIX").value_or("");
    if (prefix.empty()) prefix = JoinPath(HomeFolder(env), ".wine");
    const std::string driveC = JoinPath(prefix, "drive_c");
    const std::string x86 = JoinPath(driveC, "Program Files (x86)");
    return IsFolder(x86) ? x86 : JoinPath(driveC, "Program Files");
}

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sub-folders of `folder` whose names satisfy `keep`, in listing order.
template <typename Keep>
std::vector<std::string> SubFolders(const std::string& folder, Keep keep) {
    std::vector<DirEntry> entries;
    ListEntries(folder, entries);
    std::vector<std::string> out;
    for (const DirEntry& e : entries) {
        if (e.isFolder && keep(e.name)) out.push_back(JoinPath(folder, e.name));
    }
    return out;
}

std::optional<std::string> GameInPrefix(const std::string& prefix, const std::string& game) {
    const auto programFiles = SubFolders(JoinPath(prefix, "drive_c"), [](const std::string& name) {
        return FoldCase(name).rfind("program files", 0) == 0;
    });
    for (const std::string& folder : programFiles) {
        const std::string candidate = JoinPath(JoinPath(folder, "EA Games"), game);
        if (IsFolder(candidate)) return candidate;
    }
    return std::nullopt;
}

// Where Wine prefixes are kept: $WINEPREFIX and ~/.wine, Lutris'
// ~/Games/*, Heroic's ~/Games/Heroic/Prefixes/*/*, Bottles (native and
// Flatpak) and ~/.local/share/wineprefixes/*; only those with a drive C.
std::vector<std::string> WinePrefixes(const EnvLookup& env) {
    const std::string home = HomeFolder(env);
    std::vector<std::string> candidates;
    if (auto prefix = env("WINEPREFIX"); prefix && !prefix->empty()) candidates.push_back(*prefix);
    candidates.push_back(home + "/.wine");
    const auto all = [](const std::string&) { return true; };
    for (const std::string& folder : {home + "/Games", home + "/.local/share/bottles/bottles",
                                      home + "/.var/app/com.usebottles.bottles/data/bottles/bottles",
                                      home + "/.local/share/wineprefixes"}) {
        for (const std::string& prefix : SubFolders(folder, all)) candidates.push_back(prefix);
    }
    for (const std::string& store : SubFolders(home + "/Games/Heroic/Prefixes", all)) {
        for (const std::string& prefix : SubFolders(store, all)) candidates.push_back(prefix);
    }
    std::erase_if(candidates, [](const std::string& prefix) { return !IsFolder(prefix + "/drive_c"); });
    return candidates;
}

// The folder the game's installer (retail, the EA app, The First Decade)
// recorded in the prefix's registry, in either registry view.
std::optional<std::string> GameInWineRegistry(const std::string& prefix, bool zeroHour) {
    const std::string reg = ReadText(prefix + "/system.reg");
    if (reg.empty()) return std::nullopt;
    const std::string game = zeroHour ? "Command and Conquer Generals Zero Hour" : "Generals";
    const std::vector<std::pair<std::string, std::string>> records = {
        {"Electronic Arts\\EA Games\\" + game, "InstallPath"},
        {"Electronic Arts\\EA Games\\" + game, "Install Dir"},
        {"EA Games\\" + std::string(zeroHour ? "Command and Conquer Generals Zero Hour" : "Command and Conquer Generals"),
         "Install Dir"},
    };
    std::vector<std::pair<std::string, std::string>> all = records;
    if (zeroHour) all.emplace_back("Electronic Arts\\EA Games\\Command & Conquer The First Decade", "zh_folder");
    for (const char* view : {"Software\\", "Software\\Wow6432Node\\"}) {
        for (const auto& [key, value] : all) {
            const auto recorded = WineRegistryValue(reg, view + key, value);
            if (!recorded) continue;
            const std::string folder = WinePathToUnix(prefix, *recorded);
            if (!folder.empty() && HoldsGame(folder, zeroHour)) return folder;
        }
    }
    return std::nullopt;
}

// The folders installers put the game in, under drive C's Program Files.
std::vector<std::string> KnownFoldersInPrefix(const std::string& prefix, bool zeroHour) {
    const char* const kNames[] = {
        zeroHour ? "EA Games/Command & Conquer Generals Zero Hour" : "EA Games/Command & Conquer Generals",
        // The EA app keeps both games in one folder.
        zeroHour ? "EA Games/Command and Conquer Generals Zero Hour/Command and Conquer Generals Zero Hour"
                 : "EA Games/Command and Conquer Generals Zero Hour/Command and Conquer Generals",
        zeroHour ? "Origin Games/Command and Conquer Generals Zero Hour" : "Origin Games/Command and Conquer Generals",
        zeroHour ? "EA Games/Command & Conquer The First Decade/Command & Conquer Generals Zero Hour"
                 : "EA Games/Command & Conquer The First Decade/Command & Conquer Generals",
        zeroHour ? "EA Games/Command and Conquer Generals Zero Hour" : "EA Games/Command and Conquer Generals",
    };
    std::vector<std::string> out;
    for (const char* programFiles : {"/drive_c/Program Files", "/drive_c/Program Files (x86)"}) {
        for (const char* name : kNames) out.push_back(prefix + programFiles + "/" + name);
    }
    return out;
}

}  // namespace

std::vector<std::string> SteamLibraries(const EnvLookup& env, const RegistryLookup&) {
    const std::string home = HomeFolder(env);
    const std::vector<std::string> roots = {
        home + "/.steam/steam",
        home + "/.local/share/Steam",
        home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam",
        home + "/snap/steam/common/.local/share/Steam",
    };
    std::vector<std::string> libraries;
    std::vector<std::string> seen;  // canonical forms: ~/.steam/steam is mostly a link
    const auto add = [&](const std::string& folder) {
        std::error_code ec;
        const std::string canonical = std::filesystem::canonical(folder, ec).string();
        if (ec || !IsFolder(folder) || std::find(seen.begin(), seen.end(), canonical) != seen.end()) return;
        seen.push_back(canonical);
        libraries.push_back(folder);
    };
    for (const std::string& root : roots) {
        add(root);
        for (const char* list : {"/steamapps/libraryfolders.vdf", "/config/libraryfolders.vdf"}) {
            for (const std::string& library : ParseLibraryFolders(ReadText(root + list))) add(library);
        }
    }
    return libraries;
}

std::optional<std::string> FindInstalledGame(bool zeroHour, const EnvLookup& env, const RegistryLookup&) {
    const std::string game = zeroHour ? "Command and Conquer Generals Zero Hour" : "Command and Conquer Generals";
    for (const std::string& library : SteamLibraries(env)) {
        for (const std::string& app : SubFolders(library + "/steamapps/compatdata", [](const std::string&) { return true; })) {
            if (auto found = GameInPrefix(app + "/pfx", game)) return found;
        }
    }
    std::vector<std::string> prefixes;
    if (auto prefix = env("WINEPREFIX"); prefix && !prefix->empty()) prefixes.push_back(*prefix);
    prefixes.push_back(HomeFolder(env) + "/.wine");
    for (const std::string& prefix : prefixes) {
        if (auto found = GameInPrefix(prefix, game)) return found;
    }
    // Then every prefix where players' launchers keep them, by what the
    // game's installer recorded, then by the folders installers use; a
    // folder counts only when it holds the game.
    for (const std::string& prefix : WinePrefixes(env)) {
        if (auto found = GameInWineRegistry(prefix, zeroHour)) return found;
        for (const std::string& folder : KnownFoldersInPrefix(prefix, zeroHour)) {
            if (HoldsGame(folder, zeroHour)) return folder;
        }
    }
    return std::nullopt;
}
}  // namespace tavrel
