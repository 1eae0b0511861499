// Starting the game: through the Steam that owns its folder, in the Wine
// prefix that holds it (Linux), or its own program (Windows).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/game_locations.h"
#include "support/status.h"

namespace tavrel {

// How the game in `folder` starts here, or why it cannot: `missing` then
// names what is missing (the game's program, Wine, Steam).
struct LaunchPlan {
    std::optional<ProgramLaunch> launch;
    std::string missing;
};

// `arguments` go to the game. A Steam copy starts through its Steam
// ("-applaunch ID"): steam.sh, Flatpak's or Snap's Steam, or steam.exe. Any
// other copy starts on Linux as "wine PROGRAM" in the prefix that holds the
// folder (WINEPREFIX; the default prefix when none does), on Windows by
// itself; the game's folder is the working folder.
LaunchPlan PlanGameLaunch(const std::string& folder, bool zeroHour, const std::vector<std::string>& arguments,
                          const GameSearch& search);

// Each system's part of PlanGameLaunch, for a game folder that holds the
// game's `program`.
LaunchPlan PlanLaunchHere(const std::string& folder, const std::string& program, bool zeroHour,
                          const std::vector<std::string>& arguments, const GameSearch& search);

// The game's program in `folder`: generals.exe, else Game.dat, in any
// letter case; empty when it holds neither.
std::string GameProgram(const std::string& folder);

// A Steam library's game folder: the Steam that owns the library, and the
// game's number there (by its app manifest, else by the folder's name,
// else by the mode).
struct SteamCopy {
    SteamInstall steam;
    std::string appId;
};
std::optional<SteamCopy> SteamCopyOf(const std::string& folder, bool zeroHour, const GameSearch& search);

// The first program named `name` on the environment's PATH (Linux).
std::optional<std::string> FindOnPath(const std::string& name, const EnvLookup& env);

}  // namespace tavrel
