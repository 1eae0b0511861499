// Starting the game on Linux, for real: stand-ins for steam.sh, flatpak and
// wine record their name, arguments, working folder and WINEPREFIX, and
// the test waits for that record.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "game/game_launch.h"
#include "temp_folder.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::TempFolder;

// The record a stand-in leaves, once it is whole; empty after 30 seconds.
std::string WaitForRecord(const std::string& path) {
    for (int i = 0; i < 3000; ++i) {
        if (std::filesystem::exists(path)) return ReadAll(path);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

TEST(PlayGame, StartsEachCopyItsWay) {
    const std::string kZh = "Command & Conquer Generals - Zero Hour";
    const struct {
        const char* where;
        std::string game;                  // below the home
        std::vector<std::string> standIns;  // "bin/NAME" on PATH, or a path below the home
        std::string record;                // "{home}" and "{game}" stand for the folders; or the start of `missing`
        std::string prefix = {};           // a prefix below the home whose drive D: leads to its "games"
        bool starts = true;
    } rows[] = {
        {"native Steam", ".local/share/Steam/steamapps/common/" + kZh, {".local/share/Steam/steam.sh"},
         "steam.sh|-applaunch|2732960|-quickstart|\n{game}\n-\n"},
        {"Flatpak's Steam", ".var/app/com.valvesoftware.Steam/data/Steam/steamapps/common/" + kZh, {"bin/flatpak"},
         "flatpak|run|com.valvesoftware.Steam|-applaunch|2732960|-quickstart|\n{game}\n-\n"},
        {"a Lutris prefix", "Games/cnc/drive_c/Games/ZH", {"bin/wine"},
         "wine|{game}/generals.exe|-quickstart|\n{game}\n{home}/Games/cnc\n"},
        {"a folder a prefix's drive leads to", "games/ZH", {"bin/wine"},
         "wine|{game}/generals.exe|-quickstart|\n{game}\n{home}/.wine\n", ".wine"},
        {"no prefix holds it", "ZH", {"bin/wine"}, "wine|{game}/generals.exe|-quickstart|\n{game}\n-\n"},
        {"no Wine", "ZH", {}, "Wine is not installed", {}, false},
        {"Steam without steam.sh", ".steam/steam/steamapps/common/" + kZh, {"bin/wine"}, "Steam is not installed", {},
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        TempFolder home;
        const std::string game = home.folder(row.game);
        home.file(row.game + "/generals.exe");
        home.file(row.game + "/INIZH.big");
        home.file("Games/cnc/system.reg", "WINE REGISTRY Version 2\n");
        home.folder("bin");
        const std::string record = home / "record";
        for (const std::string& standIn : row.standIns) {
            const std::string script = home.file(
                standIn, "#!/bin/sh\n{ printf '%s|' \"${0##*/}\" \"$@\"; echo; pwd -P; echo \"${WINEPREFIX:--}\"; } >\"" +
                             record + ".tmp\" && mv \"" + record + ".tmp\" \"" + record + "\"\n");
            ::chmod(script.c_str(), 0755);
        }
        if (!row.prefix.empty()) {
            home.folder(row.prefix + "/drive_c");
            home.folder(row.prefix + "/dosdevices");
            std::filesystem::create_directory_symlink(home / "games", home / (row.prefix + "/dosdevices/d:"));
        }
        const GameSearch search{[&](const std::string& name) -> std::optional<std::string> {
            if (name == "HOME") return home.path();
            if (name == "PATH") return home / "bin";
            if (name == "WINEPREFIX") return std::nullopt;
            return std::nullopt;
        }};
        ::unsetenv("WINEPREFIX");  // what the stand-ins inherit
        const LaunchPlan plan = PlanGameLaunch(game, true, {"-quickstart"}, search);
        if (!row.starts) {
            EXPECT_FALSE(plan.launch);
            EXPECT_TRUE(plan.missing.starts_with(row.record)) << plan.missing;
            continue;
        }
        ASSERT_TRUE(plan.launch) << plan.missing;
        ASSERT_TRUE(StartProgram(*plan.launch).ok());
        std::string expected = row.record;
        for (const auto& [mark, path] : {std::pair<std::string, std::string>{"{game}", game}, {"{home}", home.path()}}) {
            for (std::size_t at; (at = expected.find(mark)) != std::string::npos;) expected.replace(at, mark.size(), path);
        }
        EXPECT_EQ(WaitForRecord(record), expected);
    }
}

// A program that cannot run is a failure of the start itself, with the
// system's reason, and leaves nothing behind.
TEST(PlayGame, AProgramThatCannotRunFails) {
    TempFolder folder;
    const std::string notRunnable = folder.file("generals.exe", "not a program");
    EXPECT_FALSE(StartProgram({notRunnable, {}, folder.path(), {}}).ok());
    EXPECT_FALSE(StartProgram({"/bin/true", {}, folder / "missing", {}}).ok());  // no such working folder
}

}  // namespace
}  // namespace tavrel
