// Where Windows players have the game.
#include "support/game_locations.h"

namespace tavrel {

std::string ProgramFilesFolder(const EnvLookup& env) { return env("programfiles").value_or(""); }

std::vector<std::string> SteamLibraries(const EnvLookup&) { return {}; }

std::optional<std::string> FindInstalledGame(bool, const EnvLookup&) { return std::nullopt; }

}  // namespace tavrel
