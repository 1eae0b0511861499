#include "support/game_locations.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace tavrel {
namespace {

#ifndef _WIN32
std::string HomeFolder(const EnvLookup& env) {
    if (auto home = env("HOME"); home && !home->empty()) return *home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}
#endif

}  // namespace

EnvLookup SystemEnvironment() {
    return [](const std::string& name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name.c_str())) return std::string(value);
        return std::nullopt;
    };
}

std::string ProgramFilesFolder(const EnvLookup& env) {
#ifdef _WIN32
    return env("programfiles").value_or("");
#else
    if (auto value = env("PROGRAMFILES")) return *value;
    std::string prefix = env("WINEPREFIX").value_or("");
    if (prefix.empty()) prefix = JoinPath(HomeFolder(env), ".wine");
    const std::string driveC = JoinPath(prefix, "drive_c");
    const std::string x86 = JoinPath(driveC, "Program Files (x86)");
    return IsFolder(x86) ? x86 : JoinPath(driveC, "Program Files");
#endif
}

std::vector<std::string> ParseLibraryFolders(const std::string& vdf) {
    // New form: "libraryfolders" { "0" { "path" "..." ... } ... }
    // Old form: "LibraryFolders" { "1" "..." ... }, numbered keys directly inside.
    std::vector<std::string> paths;
    int depth = 0;
    std::string key;
    bool haveKey = false;
    for (std::size_t i = 0; i < vdf.size(); ++i) {
        const char c = vdf[i];
        if (c == '{' || c == '}') {
            depth += c == '{' ? 1 : -1;
            haveKey = false;
        } else if (c == '"') {
            std::string text;
            for (++i; i < vdf.size() && vdf[i] != '"'; ++i) {
                if (vdf[i] == '\\' && i + 1 < vdf.size()) ++i;  // \\ and \" stand for one character
                text += vdf[i];
            }
            if (!haveKey) {
                key = std::move(text);
                haveKey = true;
                continue;
            }
            haveKey = false;
            const bool numbered = !key.empty() && std::all_of(key.begin(), key.end(), [](char ch) {
                return ch >= '0' && ch <= '9';
            });
            if (text.empty()) continue;
            if ((depth == 2 && EqualsNoCase(key, "path")) || (depth == 1 && numbered)) paths.push_back(text);
        }
    }
    return paths;
}

#ifdef _WIN32
std::vector<std::string> SteamLibraries(const EnvLookup&) { return {}; }
std::optional<std::string> FindInstalledGame(bool, const EnvLookup&) { return std::nullopt; }
#else
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

std::vector<std::string> SteamLibraries(const EnvLookup& env) {
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

std::optional<std::string> FindInstalledGame(bool zeroHour, const EnvLookup& env) {
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
#endif

std::string DefaultGameFolder(bool zeroHour, const EnvLookup& env) {
    const std::string game = zeroHour ? "Command and Conquer Generals Zero Hour"
                                      : "Command and Conquer Generals";
    return JoinPath(JoinPath(ProgramFilesFolder(env), "EA Games"), game);
}

}  // namespace tavrel
