// The parts of finding the game that are the same everywhere.
#include "game/game_locations.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "support/file_system.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {

namespace {

// Walks a Valve key-value text: `visit(depth, key, value)` for every key
// with a text value; a key that opens a block only changes the depth.
template <typename Visit>
void VisitVdf(const std::string& vdf, Visit visit) {
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
            visit(depth, key, text);
        }
    }
}

}  // namespace

std::vector<std::string> ParseLibraryFolders(const std::string& vdf) {
    // New form: "libraryfolders" { "0" { "path" "..." ... } ... }
    // Old form: "LibraryFolders" { "1" "..." ... }, numbered keys directly inside.
    std::vector<std::string> paths;
    VisitVdf(vdf, [&](int depth, const std::string& key, const std::string& text) {
        const bool numbered = !key.empty() && std::all_of(key.begin(), key.end(), [](char ch) {
            return ch >= '0' && ch <= '9';
        });
        if (text.empty()) return;
        if ((depth == 2 && EqualsNoCase(key, "path")) || (depth == 1 && numbered)) paths.push_back(text);
    });
    return paths;
}

std::optional<std::string> VdfValue(const std::string& vdf, std::string_view key) {
    std::optional<std::string> found;
    VisitVdf(vdf, [&](int, const std::string& k, const std::string& text) {
        if (!found && EqualsNoCase(k, key)) found = text;
    });
    return found;
}

std::string ReadSmallText(const std::string& path, std::size_t limit) {
    std::string text;
    return ReadSmallFile(path, limit, text).ok() ? text : std::string();
}

std::optional<std::string> SteamInstallDir(const std::string& library, const char* app) {
    const auto dir = VdfValue(
        ReadSmallText(JoinPath(JoinPath(library, "steamapps"), std::string("appmanifest_") + app + ".acf")), "installdir");
    if (!dir || dir->empty() || *dir == "." || *dir == ".." || dir->find_first_of("/\\") != std::string::npos) {
        return std::nullopt;
    }
    return dir;
}

std::string SteamFolderName(bool zeroHour) {
    return zeroHour ? "Command & Conquer Generals - Zero Hour" : "Command and Conquer Generals";
}

std::optional<std::string> GameInSteamLibrary(const std::string& library, bool zeroHour) {
    const std::string common = JoinPath(JoinPath(library, "steamapps"), "common");
    std::vector<std::string> candidates;
    if (auto dir = SteamInstallDir(library, zeroHour ? kSteamZeroHourApp : kSteamGeneralsApp)) {
        candidates.push_back(JoinPath(common, *dir));
    }
    candidates.push_back(JoinPath(common, SteamFolderName(zeroHour)));
    for (const std::string& folder : candidates) {
        if (HoldsGame(folder, zeroHour)) return folder;
    }
    // A folder named after the game, or one such below a folder of common.
    const auto named = [&](const DirEntry& e) {
        return e.isFolder && ContainsNoCase(e.name, zeroHour ? "zero hour" : "generals") &&
               ContainsNoCase(e.name, "zero hour") == zeroHour;
    };
    std::vector<DirEntry> apps;
    ListEntries(common, apps);
    for (const DirEntry& app : apps) {
        if (!app.isFolder) continue;
        const std::string appFolder = JoinPath(common, app.name);
        if (named(app) && HoldsGame(appFolder, zeroHour)) return appFolder;
        std::vector<DirEntry> inner;
        ListEntries(appFolder, inner);
        for (const DirEntry& e : inner) {
            if (named(e) && HoldsGame(JoinPath(appFolder, e.name), zeroHour)) return JoinPath(appFolder, e.name);
        }
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> GameRecords(bool zeroHour) {
    const std::string record = std::string("Electronic Arts\\EA Games\\") +
                               (zeroHour ? "Command and Conquer Generals Zero Hour" : "Generals");
    std::vector<std::pair<std::string, std::string>> records = {
        {record, "InstallPath"},
        {record, "Install Dir"},
        {std::string("EA Games\\") + (zeroHour ? "Command and Conquer Generals Zero Hour" : "Command and Conquer Generals"),
         "Install Dir"},
    };
    if (zeroHour) records.emplace_back("Electronic Arts\\EA Games\\Command & Conquer The First Decade", "zh_folder");
    return records;
}

std::optional<std::string> GameInRecordedFolder(const std::string& folder, bool zeroHour) {
    if (folder.empty()) return std::nullopt;
    if (HoldsGame(folder, zeroHour)) return folder;
    std::vector<DirEntry> entries;
    ListEntries(folder, entries);
    for (const DirEntry& e : entries) {
        if (e.isFolder && ContainsNoCase(e.name, "zero hour") == zeroHour && HoldsGame(JoinPath(folder, e.name), zeroHour)) {
            return JoinPath(folder, e.name);
        }
    }
    return std::nullopt;
}

std::vector<std::string> KnownInstallFolders(bool zeroHour) {
    if (zeroHour) {
        return {"EA Games/Command & Conquer Generals Zero Hour",
                "EA Games/Command and Conquer Generals Zero Hour/Command and Conquer Generals Zero Hour",
                "Origin Games/Command and Conquer Generals Zero Hour",
                "EA Games/Command & Conquer The First Decade/Command & Conquer Generals Zero Hour",
                "EA Games/Command and Conquer Generals Zero Hour",
                "Command and Conquer Generals Zero Hour"};
    }
    return {"EA Games/Command & Conquer Generals",
            "EA Games/Command and Conquer Generals Zero Hour/Command and Conquer Generals",
            "Origin Games/Command and Conquer Generals",
            "EA Games/Command & Conquer The First Decade/Command & Conquer Generals",
            "EA Games/Command and Conquer Generals",
            "Command and Conquer Generals"};
}

std::vector<std::string> SteamLibraries(const GameSearch& search) {
    std::vector<std::string> libraries;
    for (const SteamInstall& steam : SteamInstalls(search)) {
        libraries.insert(libraries.end(), steam.libraries.begin(), steam.libraries.end());
    }
    return libraries;
}

std::optional<std::string> WineRegistryValue(const std::string& regFile, const std::string& key,
                                             const std::string& value) {
    // [Software\\Electronic Arts\\...] 1700000000
    // "InstallPath"="C:\\Games\\..."
    const auto unescape = [](std::string_view text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\\' && i + 1 < text.size()) ++i;
            out += text[i];
        }
        return out;
    };
    bool inKey = false;
    std::size_t start = 0;
    while (start < regFile.size()) {
        std::size_t end = regFile.find('\n', start);
        if (end == std::string::npos) end = regFile.size();
        std::string_view line(regFile.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with("[")) {
            const std::size_t close = line.find(']');
            inKey = close != std::string_view::npos && EqualsNoCase(unescape(line.substr(1, close - 1)), key);
            continue;
        }
        if (!inKey || !line.starts_with("\"")) continue;
        // The name ends at the first quote that no backslash escapes.
        std::size_t at = 1;
        while (at < line.size() && line[at] != '"') at += line[at] == '\\' ? 2 : 1;
        if (at >= line.size() || !EqualsNoCase(unescape(line.substr(1, at - 1)), value)) continue;
        std::string_view data = line.substr(at + 1);
        if (!data.starts_with("=")) continue;
        data.remove_prefix(1);
        if (data.starts_with("str(2):")) data.remove_prefix(7);  // a text with variables, taken as it is
        if (data.size() < 2 || data.front() != '"' || data.back() != '"') return std::nullopt;
        return unescape(data.substr(1, data.size() - 2));
    }
    return std::nullopt;
}

std::string WinePathToUnix(const std::string& prefix, const std::string& windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') return {};
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
    const auto root = RealPath(prefix + "/dosdevices/" + drive + ":");
    if (!root) return {};
    std::string rest = windowsPath.substr(2);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    while (!rest.empty() && rest.front() == '/') rest.erase(rest.begin());
    while (!rest.empty() && rest.back() == '/') rest.pop_back();
    return *root == "/" ? "/" + rest : *root + "/" + rest;
}

bool HoldsGame(const std::string& folder, bool zeroHour) {
    bool program = false, rules = false;
    VisitEntries(folder, [&](const DirEntry& e) {
        if (!e.isFile) return;
        program = program || EqualsNoCase(e.name, "generals.exe") || EqualsNoCase(e.name, "Game.dat");
        rules = rules || EqualsNoCase(e.name, zeroHour ? "INIZH.big" : "INI.big");
    });
    return program && rules;
}

std::string DefaultGameFolder(bool zeroHour, const EnvLookup& env) {
    const std::string game = zeroHour ? "Command and Conquer Generals Zero Hour"
                                      : "Command and Conquer Generals";
    return JoinPath(JoinPath(ProgramFilesFolder(env), "EA Games"), game);
}

}  // namespace tavrel
