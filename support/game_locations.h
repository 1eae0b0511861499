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
#include <vector>

namespace tavrel {

using EnvLookup = std::function<std::optional<std::string>(const std::string& name)>;

// Reads the process environment.
EnvLookup SystemEnvironment();

// The folder that plays the role of "programfiles" (may be empty).
std::string ProgramFilesFolder(const EnvLookup& env);

// "programfiles" + "\EA Games\Command and Conquer Generals" (+ " Zero Hour").
std::string DefaultGameFolder(bool zeroHour, const EnvLookup& env);

// The game folder of an installed game where Linux players have it: under
// "drive_c/Program Files*/EA Games" of the Proton prefixes of every Steam
// library (steamapps/compatdata/*/pfx), then of the Wine prefixes
// ($WINEPREFIX, ~/.wine). Nothing on Windows, or when none is found.
std::optional<std::string> FindInstalledGame(bool zeroHour, const EnvLookup& env);

// Steam's own folders (native, Flatpak and Snap installs) and the further
// libraries their libraryfolders.vdf lists, each once.
std::vector<std::string> SteamLibraries(const EnvLookup& env);

// The library paths listed in a libraryfolders.vdf text (old and new form).
std::vector<std::string> ParseLibraryFolders(const std::string& vdf);

}  // namespace tavrel
