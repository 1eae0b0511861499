// Finding the game on Windows: the real Program Files folders, the
// installer's record in the registry, and Steam's libraries, each with a
// scripted environment and registry over real folders.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "fake_window.h"
#include "game/game_launch.h"
#include "game/game_locations.h"
#include "support/wide_text_win.h"
#include "temp_folder.h"

namespace tavrel {
namespace {

using test::FakeEnv;
using test::TempFolder;

// A registry holding exactly `values`: (root, key, value name) -> text.
RegistryLookup FakeRegistry(std::map<std::tuple<std::string, std::string, std::string>, std::string> values) {
    return [values = std::move(values)](const std::string& root, const std::string& key,
                                        const std::string& value) -> std::optional<std::string> {
        const auto it = values.find({root, key, value});
        if (it == values.end()) return std::nullopt;
        return it->second;
    };
}

std::string Forward(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

const std::string kZeroHourRecord = "Software\\Electronic Arts\\EA Games\\Command and Conquer Generals Zero Hour";

// One install or two a machine: Steam's libraries, the installers' records
// (written with '/' and a separator at the end, as some are), then the
// real Program Files folders. "{t}" is the test's folder; only a folder
// that holds the game of the row's mode counts, and the first found wins.
TEST(FindInstalledGameOnWindows, LooksWherePlayersHaveIt) {
    using Values = std::map<std::tuple<std::string, std::string, std::string>, std::string>;
    const Values steam = {{{"HKCU", "Software\\Valve\\Steam", "SteamPath"}, "{t}/Steam"}};
    const struct {
        const char* where;
        std::vector<std::string> games;  // the expected one first
        Values registry = {};
        std::map<std::string, std::string> files = {};
        bool zeroHour = true;
        bool found = true;
    } rows[] = {
        {"Steam, by the app manifest, before Program Files",
         {"Steam/steamapps/common/CnC ZH", "Program Files (x86)/EA Games/Command and Conquer Generals Zero Hour"},
         steam,
         {{"Steam/steamapps/appmanifest_2732960.acf", "\"AppState\" { \"installdir\" \"CnC ZH\" }"}}},
        {"a second Steam library, Generals by its folder", {"Library2/steamapps/common/Command and Conquer Generals"},
         steam,
         {{"Steam/steamapps/libraryfolders.vdf", "\"libraryfolders\" { \"1\" { \"path\" \"{t}/Library2\" } }"}},
         false},
        {"the retail record, before Program Files", {"Games/ZH", "Program Files/Command and Conquer Generals Zero Hour"},
         {{{"HKLM", kZeroHourRecord, "InstallPath"}, "{t}/Games/ZH/"}}},
        {"the EA app's Install Dir, the folder of both games", {"EA/Command and Conquer Generals"},
         {{{"HKLM", "Software\\EA Games\\Command and Conquer Generals", "Install Dir"}, "{t}/EA"}}, {}, false},
        {"The First Decade", {"TFD/Command & Conquer Generals Zero Hour"},
         {{{"HKLM", "Software\\Electronic Arts\\EA Games\\Command & Conquer The First Decade", "zh_folder"},
           "{t}/TFD/Command & Conquer Generals Zero Hour"}}},
        {"the EA app in the 32-bit Program Files, below the folder of both games",
         {"Program Files (x86)/EA Games/Command and Conquer Generals Zero Hour/Command and Conquer Generals Zero Hour"}},
        {"the EA app's Generals in Program Files",
         {"Program Files/EA Games/Command and Conquer Generals Zero Hour/Command and Conquer Generals"}, {}, {}, false},
        {"the 32-bit Program Files", {"Program Files (x86)/EA Games/Command and Conquer Generals"}, {}, {}, false},
        {"the game's own folder", {"Program Files/Command and Conquer Generals Zero Hour"}},
        {"a record of a folder without the game", {"Games/ZH"}, {{{"HKLM", kZeroHourRecord, "InstallPath"}, "{t}/Games/ZH"}},
         {}, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        TempFolder t;
        const auto withT = [&](std::string text) {
            if (const auto at = text.find("{t}"); at != std::string::npos) text.replace(at, 3, Forward(t.path()));
            return text;
        };
        for (const std::string& game : row.games) {
            t.folder(game);
            if (!row.found) continue;
            t.file(game + "/generals.exe");
            t.file(game + (row.zeroHour ? "/INIZH.big" : "/INI.big"));
        }
        for (const auto& [path, text] : row.files) t.file(path, withT(text));
        Values registry;
        for (const auto& [key, value] : row.registry) registry[key] = withT(value);
        const GameSearch search{
            FakeEnv({{"ProgramFiles(x86)", t / "Program Files (x86)"}, {"ProgramW6432", t / "Program Files"}}),
            FakeRegistry(registry)};
        EXPECT_EQ(FindInstalledGame(row.zeroHour, search), row.found ? std::optional(t / row.games.front()) : std::nullopt);
        EXPECT_EQ(FindInstalledGame(!row.zeroHour, search), std::nullopt);
    }
}

// A Steam copy starts through the steam.exe the registry names; any other
// copy runs its own program (a stand-in here) in its folder, and every
// argument arrives as it was given.
TEST(PlayGameOnWindows, StartsTheGameOrItsSteam) {
    TempFolder t;
    const std::string steamExe = t.file("Steam/steam.exe");
    const std::string steamGame = t.folder("Steam/steamapps/common/Command and Conquer Generals");
    t.file("Steam/steamapps/common/Command and Conquer Generals/game.dat");
    const GameSearch steam{FakeEnv({}), FakeRegistry({{{"HKCU", "Software\\Valve\\Steam", "SteamPath"}, t / "Steam"},
                                                      {{"HKCU", "Software\\Valve\\Steam", "SteamExe"}, Forward(steamExe)}})};
    const LaunchPlan viaSteam = PlanGameLaunch(steamGame, false, {"-quickstart"}, steam);
    ASSERT_TRUE(viaSteam.launch) << viaSteam.missing;
    EXPECT_EQ(*viaSteam.launch, (ProgramLaunch{steamExe, {"-applaunch", "2229870", "-quickstart"}, steamGame, {}}));

    const std::string game = t.folder("My Games/Zero Hour");
    ASSERT_TRUE(::CopyFileW(Wide(test::HostPath(TAVREL_STAND_IN_GAME)).c_str(), Wide(game + "\\generals.exe").c_str(), TRUE));
    const std::vector<std::string> arguments = {"-quickstart", "two words", "", "a \"quote\\\" \\", "C:\\end\\"};
    const LaunchPlan own = PlanGameLaunch(game, true, arguments, {FakeEnv({}), FakeRegistry({})});
    ASSERT_TRUE(own.launch) << own.missing;
    ASSERT_TRUE(StartProgram(*own.launch).ok());
    std::string expected = game + "\n";
    for (const std::string& argument : arguments) expected += argument + "\n";
    std::string played;
    for (int i = 0; i < 3000 && played.empty(); ++i) {
        played = test::ReadAll(game + "\\played.txt");
        if (played.empty()) ::Sleep(10);
    }
    EXPECT_EQ(played, expected);
}

}  // namespace
}  // namespace tavrel
