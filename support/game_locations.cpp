// The parts of finding the game that are the same everywhere.
#include "support/game_locations.h"

#include <algorithm>
#include <cstdlib>

#include "support/path_rules.h"
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

std::string DefaultGameFolder(bool zeroHour, const EnvLookup& env) {
    const std::string game = zeroHour ? "Command and Conquer Generals Zero Hour"
                                      : "Command and Conquer Generals";
    return JoinPath(JoinPath(ProgramFilesFolder(env), "EA Games"), game);
}

}  // namespace tavrel
