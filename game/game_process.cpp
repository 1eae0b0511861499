#include "game/game_process.h"

#include <algorithm>
#include <cctype>

#include "game/game_locations.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {
namespace {

// A folder in the form every path to it takes: links resolved where it
// exists, then folded, since Wine shows the game's path in whatever letter
// case it was started with.
std::string Comparable(const std::string& folder) {
    return FoldCase(RealPath(folder).value_or(FileCleanPath(folder)));
}

bool IsWindowsPath(const std::string& arg) {
    return arg.size() >= 3 && std::isalpha(static_cast<unsigned char>(arg[0])) && arg[1] == ':' &&
           (arg[2] == '\\' || arg[2] == '/');
}

// The Wine prefix a process runs in: its WINEPREFIX, else ~/.wine of its
// HOME (or ours); empty when that cannot be told.
std::string PrefixOf(const RunningProcess& process) {
    std::string prefix, home;
    for (const std::string& var : process.environment) {
        if (var.rfind("WINEPREFIX=", 0) == 0) prefix = var.substr(11);
        if (var.rfind("HOME=", 0) == 0) home = var.substr(5);
    }
    if (!prefix.empty()) return prefix;
    if (home.empty()) home = SystemEnvironment()("HOME").value_or("");
    return home.empty() ? std::string() : home + "/.wine";
}

// The paths of the game's programs that `process` runs: its own program,
// and those its command line names, which is what Wine and Proton show. A
// Windows path there is found through the process's Wine prefix; a relative
// one from its working folder.
std::vector<std::string> GameProgramsOf(const RunningProcess& process) {
    std::vector<std::string> out;
    if (!process.program.empty() && IsGameProgramName(FileGetName(process.program))) out.push_back(process.program);
    for (const std::string& arg : process.commandLine) {
        const std::size_t lastSep = arg.find_last_of("/\\");
        const std::string_view name = std::string_view(arg).substr(lastSep == std::string::npos ? 0 : lastSep + 1);
        if (arg.empty() || !IsGameProgramName(name)) continue;
        std::string path;
        if (IsWindowsPath(arg)) {
            if (const std::string prefix = PrefixOf(process); !prefix.empty()) path = WinePathToUnix(prefix, arg);
        } else if (arg.front() == '/') {
            path = arg;
        } else if (!process.workingFolder.empty()) {
            std::string relative = arg;
            std::replace(relative.begin(), relative.end(), '\\', '/');
            path = process.workingFolder + "/" + relative;
        }
        if (!path.empty()) out.push_back(std::move(path));
    }
    return out;
}

}  // namespace

bool IsGameProgramName(std::string_view name) {
    return EqualsNoCase(name, "generals.exe") || EqualsNoCase(name, "game.dat");
}

bool GameRunsIn(const std::string& gameFolder) {
    if (gameFolder.empty()) return false;
    const std::string folder = Comparable(gameFolder);
    for (const RunningProcess& process : RunningProcesses(IsGameProgramName)) {
        for (const std::string& program : GameProgramsOf(process)) {
            if (Comparable(FileGetFolder(program)) == folder) return true;
        }
    }
    return false;
}

}  // namespace tavrel
