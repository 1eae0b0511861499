// Where the game is installed.
//
// On Windows the "programfiles" environment variable names the folder that
// holds "EA Games" by default. Elsewhere the game runs under Wine or Proton; there the
// variable PROGRAMFILES wins when set, otherwise the Wine prefix's
// "drive_c/Program Files (x86)", or "drive_c/Program Files" when that one is
// missing ($WINEPREFIX, default ~/.wine).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/system.h"

namespace tavrel {

// The folder that plays the role of "programfiles" (may be empty).
std::string ProgramFilesFolder(const EnvLookup& env);

// "programfiles" + "\EA Games\Command and Conquer Generals" (+ " Zero Hour").
std::string DefaultGameFolder(bool zeroHour, const EnvLookup& env);

// Where to look for the game: the environment (HOME, WINEPREFIX, the
// Program Files variables), Windows' registry, and the folder Linux mounts
// removable drives under (a Steam Deck's SD card).
struct GameSearch {
    EnvLookup env;
    RegistryLookup registry = SystemRegistry();
    std::string mediaRoot = "/run/media";
};

// The game folder of an installed game, found where players have it; only a
// folder that holds the game (HoldsGame) counts, and the first found wins.
// Linux: Steam's libraries, then the Wine prefixes of Lutris, Heroic,
// Bottles, ~/.local/share/wineprefixes, $WINEPREFIX, ~/.wine and Proton,
// each by its registry, then by the folders installers use. Windows: Steam's
// libraries, the installers' records in the registry, then the Program Files
// folders. Nothing when none is found.
std::optional<std::string> FindInstalledGame(bool zeroHour, const GameSearch& search);

// A Steam install: its own folder and its libraries (itself first, then
// those its libraryfolders.vdf lists and, on Linux, those on removable
// drives). `root` is empty for libraries found without a Steam to own them.
struct SteamInstall {
    enum class Kind { Native, Flatpak, Snap };
    std::string root;
    Kind kind = Kind::Native;
    std::vector<std::string> libraries;
};

// Every Steam install (Linux: native, Flatpak and Snap; Windows: the
// SteamPath the registry names), each folder once however it is reached.
std::vector<SteamInstall> SteamInstalls(const GameSearch& search);

// Linux: every Wine prefix where players' launchers keep them, then
// Proton's in every Steam library; only those with a drive C. Windows: none.
std::vector<std::string> WinePrefixes(const GameSearch& search);

// Every library of every Steam install, in order.
std::vector<std::string> SteamLibraries(const GameSearch& search);

// Steam's number of each game.
inline constexpr const char* kSteamZeroHourApp = "2732960";
inline constexpr const char* kSteamGeneralsApp = "2229870";

// The folder name under the library's steamapps/common that the app
// manifest of Steam's app `app` gives, checked to be one plain name; the
// name Steam installs the game under, without a manifest.
std::optional<std::string> SteamInstallDir(const std::string& library, const char* app);
std::string SteamFolderName(bool zeroHour);

// The game's folder in one Steam library: the folder the game's app
// manifest names, then the folders Steam installs the games in, then a
// folder (or one below it) named after the game; only one that holds it.
std::optional<std::string> GameInSteamLibrary(const std::string& library, bool zeroHour);

// The folders an installer of the game recorded in the registry, as keys
// below "Software" and value names: the EA app's and the retail installers'
// Install Dir and InstallPath, and The First Decade's zh_folder.
std::vector<std::pair<std::string, std::string>> GameRecords(bool zeroHour);

// A folder an installer recorded: itself when it holds the game, or its
// sub-folder that does (the EA app keeps both games in one folder).
std::optional<std::string> GameInRecordedFolder(const std::string& folder, bool zeroHour);

// The folders below Program Files that installers put the game in,
// '/'-separated: retail, the EA app, Origin, The First Decade, and the
// default.
std::vector<std::string> KnownInstallFolders(bool zeroHour);

// A small text file's bytes (a registry file, a Steam list), at most
// `limit` of them; empty when it is missing, larger, or no regular file.
std::string ReadSmallText(const std::string& path, std::size_t limit = 64u << 20);

// The first value of `key` (compared without regard to case) in a Valve
// key-value text such as an app manifest, at any depth.
std::optional<std::string> VdfValue(const std::string& vdf, std::string_view key);

// A text value of a Wine registry file (a prefix's system.reg): `key`
// relative to its root ("Software\\EA Games\\..."), key and value names
// compared without regard to case, as Windows does. Nothing when absent.
std::optional<std::string> WineRegistryValue(const std::string& regFile, const std::string& key,
                                             const std::string& value);

// True when `folder` holds the game: its program (generals.exe or Game.dat)
// and its own archive of rules (INIZH.big for Zero Hour, INI.big for
// Generals), in any letter case.
bool HoldsGame(const std::string& folder, bool zeroHour);

// The path in this system of the Windows path `windowsPath`
// ("C:\\Games\\x") in the Wine prefix `prefix`, through the prefix's drive
// links (dosdevices); empty when the drive is not there.
std::string WinePathToUnix(const std::string& prefix, const std::string& windowsPath);

// The library paths listed in a libraryfolders.vdf text (old and new form).
std::vector<std::string> ParseLibraryFolders(const std::string& vdf);

}  // namespace tavrel
