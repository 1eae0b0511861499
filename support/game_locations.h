// Where the game is installed.
//
// On Windows the "programfiles" environment variable names the folder that
// holds "EA Games" by default. Elsewhere the game runs under Wine or Proton; there the
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

// A text value of the Windows registry: root ("HKLM" or "HKCU"), key and
// value name. Under HKLM both the 64-bit and the 32-bit view are read.
using RegistryLookup =
    std::function<std::optional<std::string>(const std::string& root, const std::string& key, const std::string& value)>;

// Windows' registry; elsewhere a registry that holds nothing.
RegistryLookup SystemRegistry();

// The folder that plays the role of "programfiles" (may be empty).
std::string ProgramFilesFolder(const EnvLookup& env);

// "programfiles" + "\EA Games\Command and Conquer Generals" (+ " Zero Hour").
std::string DefaultGameFolder(bool zeroHour, const EnvLookup& env);

// The game folder of an installed game, found where players have it.
// Linux: under "drive_c/Program Files*/EA Games" of the Proton prefixes of
// every Steam library (steamapps/compatdata/*/pfx), then of the Wine
// prefixes ($WINEPREFIX, ~/.wine). Windows: "EA Games" (or the game's own
// folder) under the real Program Files folders (ProgramFiles(x86),
// ProgramW6432, ProgramFiles), then the folder the game's
// installer recorded in the registry, then Steam's libraries. Nothing when
// none is found.
std::optional<std::string> FindInstalledGame(bool zeroHour, const EnvLookup& env,
                                             const RegistryLookup& registry = SystemRegistry());

// Steam's own folders (Linux: native, Flatpak and Snap installs; Windows:
// the SteamPath the registry names) and the further libraries their
// libraryfolders.vdf lists, each once.
std::vector<std::string> SteamLibraries(const EnvLookup& env, const RegistryLookup& registry = SystemRegistry());

// A text value of a Wine registry file (a prefix's system.reg): `key`
// relative to its root ("Software\\EA Games\\..."), key and value names
// compared without regard to case, as Windows does. Nothing when absent.
std::optional<std::string> WineRegistryValue(const std::string& regFile, const std::string& key,
                                             const std::string& value);

// True when `folder` holds the game: its program (generals.exe or Game.dat)
// and its own archive of rules (INIZH.big for Zero Hour, INI.big for
// Generals), in any letter case.
bool HoldsGame(const std::string& folder, bool zeroHour);

// The library paths listed in a libraryfolders.vdf text (old and new form).
std::vector<std::string> ParseLibraryFolders(const std::string& vdf);

}  // namespace tavrel
