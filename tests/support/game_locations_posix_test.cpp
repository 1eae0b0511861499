// Finding the game in the Wine prefixes of Linux players' launchers, on
// fake home folders.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/game_locations.h"
#include "temp_folder.h"

namespace tavrel {
namespace {

EnvLookup Home(const std::string& home) {
    return [home](const std::string& name) { return name == "HOME" ? std::optional(home) : std::nullopt; };
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

// One install a home: each launcher's place for prefixes, the registry's
// record or an installer's folder, and a folder without the game that
// must not count.
TEST(FindInstalledGame, LooksInTheLaunchersPrefixes) {
    const struct {
        const char* where;
        std::string prefix;      // below the home
        std::string game;        // below the prefix's drive C
        std::string record;      // system.reg's text; empty for none
        bool holdsGame = true;
    } rows[] = {
        {"Lutris, recorded under Wow6432Node in capitals", "Games/command-conquer", "Games/ZH",
         "[Software\\\\Wow6432Node\\\\Electronic Arts\\\\EA GAMES\\\\Command and Conquer Generals Zero Hour] 1\n"
         "\"InstallPath\"=\"C:\\\\Games\\\\ZH\\\\\"\n"},
        {"The First Decade in Bottles (Flatpak)", ".var/app/com.usebottles.bottles/data/bottles/bottles/CnC",
         "TFD/ZH", "[Software\\\\Electronic Arts\\\\EA Games\\\\Command & Conquer The First Decade] 1\n"
         "\"zh_folder\"=\"C:\\\\TFD\\\\ZH\"\n"},
        {"the EA app in Heroic", "Games/Heroic/Prefixes/default/Generals",
         "Program Files/EA Games/Command and Conquer Generals Zero Hour/Command and Conquer Generals Zero Hour", ""},
        {"Origin in a plain prefix", ".local/share/wineprefixes/origin",
         "Program Files (x86)/Origin Games/Command and Conquer Generals Zero Hour", ""},
        {"a folder without the game", "Games/empty", "Program Files/EA Games/Command & Conquer Generals Zero Hour", "",
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        test::TempFolder home;
        const std::string prefix = home / row.prefix;
        const std::string game = prefix + "/drive_c/" + row.game;
        std::filesystem::create_directories(game);
        std::filesystem::create_directories(prefix + "/dosdevices");
        std::filesystem::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
        if (row.holdsGame) {
            home.file(row.prefix + "/drive_c/" + row.game + "/Generals.EXE", "game");
            home.file(row.prefix + "/drive_c/" + row.game + "/inizh.big", "rules");
        }
        if (!row.record.empty()) home.file(row.prefix + "/system.reg", "WINE REGISTRY Version 2\n" + row.record);
        EXPECT_EQ(FindInstalledGame(true, Home(home.path())), row.holdsGame ? std::optional(game) : std::nullopt);
        EXPECT_EQ(FindInstalledGame(false, Home(home.path())), std::nullopt);  // Zero Hour's folder is not Generals
    }
}

}  // namespace
}  // namespace tavrel
