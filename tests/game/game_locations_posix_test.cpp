// Finding the game in the Wine prefixes of Linux players' launchers, on
// fake home folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "game/game_locations.h"
#include "temp_folder.h"

namespace tavrel {
namespace {

EnvLookup Home(const std::string& home) {
    return [home](const std::string& name) { return name == "HOME" ? std::optional(home) : std::nullopt; };
}

void Write(const std::string& path, const std::string& content) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

TEST(WineRegistry, ReadsValuesAsWindowsWould) {
    const std::string reg =
        "WINE REGISTRY Version 2\r\n"
        "[Software\\\\Wow6432Node\\\\EA GAMES\\\\Command and Conquer Generals Zero Hour] 1700000000\r\n"
        "#time=1da\r\n"
        "\"Install Dir\"=\"C:\\\\Games\\\\Zero \\\"Hour\\\"\\\\\"\r\n"
        "\"Other\"=str(2):\"%ProgramFiles%\\\\x\"\r\n"
        "\"Number\"=dword:00000001\r\n"
        "\r\n"
        "[Software\\\\Other] 1\r\n"
        "\"Install Dir\"=\"wrong\"\r\n";
    const std::string key = "software\\Wow6432Node\\EA Games\\Command and Conquer Generals Zero Hour";
    EXPECT_EQ(WineRegistryValue(reg, key, "install dir"), "C:\\Games\\Zero \"Hour\"\\");
    EXPECT_EQ(WineRegistryValue(reg, key, "Other"), "%ProgramFiles%\\x");
    EXPECT_EQ(WineRegistryValue(reg, key, "Number"), std::nullopt);
    EXPECT_EQ(WineRegistryValue(reg, key, "Missing"), std::nullopt);
    EXPECT_EQ(WineRegistryValue(reg, "Software\\EA Games", "Install Dir"), std::nullopt);
}

// One install or two a home, each where a launcher puts it: Steam's roots,
// libraries and removable drives, then the launchers' Wine prefixes by
// their registry or an installer's folder. "~/" is the home, "media/" the
// folder drives are mounted under; only a folder that holds the game of the
// row's mode counts, and the first found wins.
TEST(FindInstalledGame, LooksWherePlayersHaveIt) {
    const std::string kSteamZh = "steamapps/common/Command & Conquer Generals - Zero Hour";
    const std::string kZhRecord =
        "[Software\\\\Wow6432Node\\\\Electronic Arts\\\\EA GAMES\\\\Command and Conquer Generals Zero Hour] 1\n"
        "\"InstallPath\"=\"C:\\\\Games\\\\ZH\\\\\"\n";
    const struct {
        const char* where;
        std::vector<std::string> games;  // folders that hold the game, the expected one first
        std::map<std::string, std::string> files = {};
        bool zeroHour = true;
        bool found = true;
    } rows[] = {
        {"native Steam, by the app manifest", {"~/.local/share/Steam/steamapps/common/CnC ZH"},
         {{"~/.local/share/Steam/steamapps/appmanifest_2732960.acf",
           "\"AppState\" { \"appid\" \"2732960\" \"installdir\" \"CnC ZH\" }"}}},
        {"~/.steam/steam, Generals by its folder", {"~/.steam/steam/steamapps/common/Command and Conquer Generals"}, {},
         false},
        {"~/.steam/root", {"~/.steam/root/" + kSteamZh}},
        {"Debian's Steam", {"~/.steam/debian-installation/" + kSteamZh}},
        {"Flatpak's Steam", {"~/.var/app/com.valvesoftware.Steam/.local/share/Steam/" + kSteamZh}},
        {"Flatpak's Steam, data", {"~/.var/app/com.valvesoftware.Steam/data/Steam/" + kSteamZh}},
        {"Snap's Steam", {"~/snap/steam/common/.local/share/Steam/" + kSteamZh}},
        {"a library that libraryfolders.vdf lists", {"~/Disk/" + kSteamZh},
         {{"~/.local/share/Steam/steamapps/libraryfolders.vdf", "\"libraryfolders\" { \"1\" { \"path\" \"~/Disk\" } }"}}},
        {"an SD card's SteamLibrary", {"media/deck/SD/SteamLibrary/" + kSteamZh}},
        {"a drive that is a library", {"media/SD/" + kSteamZh}},
        {"Steam before a Lutris prefix", {"~/.steam/steam/" + kSteamZh, "~/Games/zh/drive_c/Games/ZH"},
         {{"~/Games/zh/system.reg", kZhRecord}}},
        {"Lutris, recorded under Wow6432Node in capitals", {"~/Games/zh/drive_c/Games/ZH"},
         {{"~/Games/zh/system.reg", kZhRecord}}},
        {"The First Decade in Bottles (Flatpak)",
         {"~/.var/app/com.usebottles.bottles/data/bottles/bottles/CnC/drive_c/TFD/ZH"},
         {{"~/.var/app/com.usebottles.bottles/data/bottles/bottles/CnC/system.reg",
           "[Software\\\\Electronic Arts\\\\EA Games\\\\Command & Conquer The First Decade] 1\n"
           "\"zh_folder\"=\"C:\\\\TFD\\\\ZH\"\n"}}},
        {"the EA app in Heroic",
         {"~/Games/Heroic/Prefixes/default/Generals/drive_c/Program Files/EA Games/"
          "Command and Conquer Generals Zero Hour/Command and Conquer Generals Zero Hour"}},
        {"the EA app's Install Dir, the folder of both games",
         {"~/.local/share/bottles/bottles/EA/drive_c/EA/Command and Conquer Generals Zero Hour"},
         {{"~/.local/share/bottles/bottles/EA/system.reg",
           "[Software\\\\EA Games\\\\Command and Conquer Generals Zero Hour] 1\n\"Install Dir\"=\"C:\\\\EA\"\n"}}},
        {"the EA app in ~/.wine, below the folder of both games",
         {"~/.wine/drive_c/Program Files (x86)/EA Games/Command and Conquer Generals Zero Hour/"
          "Command and Conquer Generals Zero Hour"}},
        {"the EA app's Generals in ~/.wine",
         {"~/.wine/drive_c/Program Files/EA Games/Command and Conquer Generals Zero Hour/Command and Conquer Generals"},
         {}, false},
        {"Origin in a plain prefix",
         {"~/.local/share/wineprefixes/origin/drive_c/Program Files (x86)/Origin Games/Command and Conquer Generals Zero Hour"}},
        {"~/.wine, Generals", {"~/.wine/drive_c/Program Files/EA Games/Command and Conquer Generals"}, {}, false},
        {"Proton's prefix", {"~/.local/share/Steam/steamapps/compatdata/1/pfx/drive_c/Program Files/EA Games/"
                             "Command and Conquer Generals Zero Hour"}},
        {"a folder without the game",
         {"~/Games/empty/drive_c/Program Files/EA Games/Command & Conquer Generals Zero Hour"}, {}, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        test::TempFolder home, media;
        const auto at = [&](const std::string& path) {
            if (path.starts_with("~/")) return home / path.substr(2);
            return media / path.substr(6);
        };
        for (const std::string& game : row.games) {
            std::filesystem::create_directories(at(game));
            if (!row.found) continue;
            Write(at(game) + "/Generals.EXE", "game");
            Write(at(game) + (row.zeroHour ? "/inizh.big" : "/INI.big"), "rules");
        }
        for (const auto& [path, text] : row.files) {
            std::string content = text;
            if (const auto tilde = content.find("~/"); tilde != std::string::npos) content.replace(tilde, 1, home.path());
            Write(at(path), content);
        }
        // Every prefix's drive C as Wine links it.
        for (const std::string& prefix : WinePrefixes({Home(home.path())})) {
            std::filesystem::create_directories(prefix + "/dosdevices");
            std::filesystem::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
        }
        const GameSearch search{Home(home.path()), SystemRegistry(), media.path()};
        const auto expected = row.found ? std::optional(at(row.games.front())) : std::nullopt;
        EXPECT_EQ(FindInstalledGame(row.zeroHour, search), expected);
        EXPECT_EQ(FindInstalledGame(!row.zeroHour, search), std::nullopt);  // the other game's folder is not its own
    }
}

// ~/.steam/steam is mostly a link to ~/.local/share/Steam, and lists itself
// as a library: each counts once.
TEST(SteamLibraries, CountsEachFolderOnce) {
    test::TempFolder home;
    const std::string steam = home.folder(".local/share/Steam");
    std::filesystem::create_directories(home / ".steam");
    std::filesystem::create_directory_symlink(steam, home / ".steam/steam");
    home.file(".steam/steam/steamapps/libraryfolders.vdf",
              "\"libraryfolders\" { \"0\" { \"path\" \"" + home.path() + "/.steam/steam\" } }");
    EXPECT_EQ(SteamLibraries({Home(home.path())}), std::vector<std::string>{steam});
}

}  // namespace
}  // namespace tavrel
