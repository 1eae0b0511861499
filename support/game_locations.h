// Where the game is installed by default.
//
// On Windows the "programfiles" environment variable names the folder that
// holds "EA Games". Elsewhere the game runs under Wine or Proton; there the
// variable PROGRAMFILES wins when set, otherwise the Wine prefix's
// "drive_c/Program Files (x86)", or "drive_c/Program Files" when that one is
// missing ($WINEPREFIX, default ~/.wine).
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tavrel {

using EnvLookup = std::function<std::optional<std::string>(const std::string& name)>;

// Reads the process environment.
EnvLookup SystemEnvironment();

// The folder that plays the role of "programfiles" (may be empty).
std::string ProgramFilesFolder(const EnvLookup& env);

// "programfiles" + "\EA Games\Command and Conquer Generals" (+ " Zero Hour").
std::string DefaultGameFolder(bool zeroHour, const EnvLookup& env);

}  // namespace tavrel
