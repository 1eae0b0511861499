// The parts of starting the game that are the same everywhere.
#include "game/game_launch.h"

#include "support/path_rules.h"
#include "support/platform.h"
#include "support/text.h"

namespace tavrel {

std::string GameProgram(const std::string& folder) {
    std::string generals, gameDat;
    VisitEntries(folder, [&](const DirEntry& e) {
        if (!e.isFile) return;
        if (generals.empty() && EqualsNoCase(e.name, "generals.exe")) generals = e.name;
        if (gameDat.empty() && EqualsNoCase(e.name, "Game.dat")) gameDat = e.name;
    });
    if (generals.empty() && gameDat.empty()) return {};
    return JoinPath(folder, generals.empty() ? gameDat : generals);
}

LaunchPlan PlanGameLaunch(const std::string& folder, bool zeroHour, const std::vector<std::string>& arguments,
                          const GameSearch& search) {
    const std::string clean = FileCleanPath(folder);
    if (!IsFolder(clean)) return {std::nullopt, "There is no folder " + clean + "."};
    const std::string program = GameProgram(clean);
    if (program.empty()) {
        return {std::nullopt, "There is no generals.exe or Game.dat in " + clean +
                                  ", so the game cannot be started from there. Please select your game folder."};
    }
    return PlanLaunchHere(clean, program, zeroHour, arguments, search);
}

std::optional<SteamCopy> SteamCopyOf(const std::string& folder, bool zeroHour, const GameSearch& search) {
    const std::string clean = FileCleanPath(folder);
    const std::string parent = ParentFolder(clean);
    for (const SteamInstall& steam : SteamInstalls(search)) {
        for (const std::string& library : steam.libraries) {
            const std::string steamapps = JoinPath(library, "steamapps");
            if (parent.empty() || !SameFile(parent, JoinPath(steamapps, "common"))) continue;
            const std::string name = FileGetName(clean);
            std::string appId = zeroHour ? kSteamZeroHourApp : kSteamGeneralsApp;
            for (const bool game : {true, false}) {
                const char* app = game ? kSteamZeroHourApp : kSteamGeneralsApp;
                const auto dir = SteamInstallDir(library, app);
                if (EqualsNoCase(dir.value_or(SteamFolderName(game)), name)) appId = app;
            }
            return SteamCopy{steam, appId};
        }
    }
    return std::nullopt;
}

}  // namespace tavrel
