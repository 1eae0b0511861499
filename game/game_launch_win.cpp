// Starting the game on Windows: through Steam, or its own program.
#include <algorithm>

#include "game/game_launch.h"
#include "support/path_rules.h"
#include "support/platform.h"

namespace tavrel {

std::optional<std::string> FindOnPath(const std::string&, const EnvLookup&) { return std::nullopt; }

LaunchPlan PlanLaunchHere(const std::string& clean, const std::string& program, bool zeroHour,
                          const std::vector<std::string>& arguments, const GameSearch& search) {
    if (const auto copy = SteamCopyOf(clean, zeroHour, search)) {
        std::string steam = search.registry("HKCU", "Software\\Valve\\Steam", "SteamExe").value_or("");
        std::replace(steam.begin(), steam.end(), '/', '\\');
        if (steam.empty() || !IsRegularFile(steam)) steam = JoinPath(copy->steam.root, "steam.exe");
        if (!IsRegularFile(steam)) {
            return {std::nullopt, "Steam is not installed (no steam.exe was found). The game in " + clean +
                                      " is Steam's, and Tavrel starts it through Steam."};
        }
        ProgramLaunch launch{steam, {"-applaunch", copy->appId}, clean, {}};
        launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
        return {launch, {}};
    }
    return {ProgramLaunch{program, arguments, clean, {}}, {}};
}

}  // namespace tavrel
