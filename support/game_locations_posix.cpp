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
    return std::nullopt;
}
}  // namespace tavrel
