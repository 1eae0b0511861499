#include "support/game_process.h"

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

}  // namespace

bool IsGameProgramName(std::string_view name) {
    return EqualsNoCase(name, "generals.exe") || EqualsNoCase(name, "game.dat");
}

bool GameRunsIn(const std::string& gameFolder) {
    if (gameFolder.empty()) return false;
    const std::string folder = Comparable(gameFolder);
    for (const std::string& program : RunningProgramPaths(IsGameProgramName)) {
        if (Comparable(FileGetFolder(program)) == folder) return true;
    }
    return false;
}

bool GoOnWhileGameRuns(MessageHost& host, const std::string& gameFolder, const GameRunningCheck& gameRuns) {
    if (!gameRuns || !gameRuns(gameFolder)) return true;
    return host.message("The game is running from this folder. Changing its files while it runs can break the "
                        "game and the mod. Do you want to go on anyway?",
                        Buttons::YesNo, Icon::Exclamation) == Answer::Yes;
}

}  // namespace tavrel
