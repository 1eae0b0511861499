// Whether the game runs from a given folder. Renaming an archive that the
// running game holds open succeeds under Wine and Proton without a word, and
// the game then crashes or plays with half a mod; so every change of the
// game's files asks first (modstore's GoOnWhileGameRuns).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tavrel {

// True for the game's programs, "generals.exe" and "game.dat", letters
// compared without regard to case.
bool IsGameProgramName(std::string_view name);

// True when a process runs one of the game's programs from `gameFolder`.
bool GameRunsIn(const std::string& gameFolder);

using GameRunningCheck = std::function<bool(const std::string& gameFolder)>;

}  // namespace tavrel
