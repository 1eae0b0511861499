// The parts of finding the game that are the same everywhere.
#include "support/game_locations.h"

#include <algorithm>
#include <cstdlib>

#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {

EnvLookup SystemEnvironment() {
    return [](const std::string& name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name.c_str())) return std::string(value);
        return std::nullopt;
    };
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
