// Finding the game on Windows: the real Program Files folders, the
// installer's record in the registry, and Steam's libraries, each with a
// scripted environment and registry over real folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "fake_window.h"
#include "support/game_locations.h"
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

TEST(FindInstalledGameOnWindows, LooksInTheRealProgramFilesFirst) {
    TempFolder t;
    const std::string x86 = t.folder("Program Files (x86)/EA Games/Command and Conquer Generals");
    const std::string own = t.folder("Program Files/Command and Conquer Generals Zero Hour");
    const auto env = FakeEnv({{"ProgramFiles(x86)", t / "Program Files (x86)"}, {"ProgramW6432", t / "Program Files"}});
    EXPECT_EQ(FindInstalledGame(false, env, FakeRegistry({})), x86);
    EXPECT_EQ(FindInstalledGame(true, env, FakeRegistry({})), own);  // the game's own folder, without "EA Games"
}

TEST(FindInstalledGameOnWindows, ThenTheInstallersRecordAsWritten) {
    TempFolder t;
    const std::string game = t.folder("Games/ZH");
    // Written with '/' and a trailing separator: the folder comes back clean.
    const auto registry = FakeRegistry({{{"HKLM", kZeroHourRecord, "InstallPath"}, Forward(game) + "/"}});
    EXPECT_EQ(FindInstalledGame(true, FakeEnv({}), registry), game);
    EXPECT_EQ(FindInstalledGame(false, FakeEnv({}), registry), std::nullopt);  // Generals has its own record
    const auto gone = FakeRegistry({{{"HKLM", kZeroHourRecord, "InstallPath"}, t / "Games/Uninstalled"}});
    EXPECT_EQ(FindInstalledGame(true, FakeEnv({}), gone), std::nullopt);  // a record of a folder no longer there
}

TEST(FindInstalledGameOnWindows, ThenSteamsLibraries) {
    TempFolder t;
    const std::string steam = t.folder("Steam");
    const std::string library = t.folder("Library2");
    t.file("Steam/steamapps/libraryfolders.vdf",
           "\"libraryfolders\"\n{\n \"0\" { \"path\" \"" + Forward(steam) + "\" }\n \"1\" { \"path\" \"" +
               Forward(library) + "\" }\n}\n");
    t.file("Steam/steamapps/common/Command and Conquer Generals/game.dat");
    t.file("Library2/steamapps/common/CnC The Ultimate Collection/Command & Conquer Generals - Zero Hour/generals.exe");
    t.folder("Steam/steamapps/common/Zero Hour Soundtrack");  // named like it, but no game in it
    const auto registry = FakeRegistry({{{"HKCU", "Software\\Valve\\Steam", "SteamPath"}, Forward(steam)}});

    EXPECT_EQ(SteamLibraries(FakeEnv({}), registry), (std::vector<std::string>{steam, library}));
    EXPECT_EQ(FindInstalledGame(false, FakeEnv({}), registry), t / "Steam/steamapps/common/Command and Conquer Generals");
    EXPECT_EQ(FindInstalledGame(true, FakeEnv({}), registry),
              t / "Library2/steamapps/common/CnC The Ultimate Collection/Command & Conquer Generals - Zero Hour");
    EXPECT_EQ(FindInstalledGame(true, FakeEnv({}), FakeRegistry({})), std::nullopt);
}

}  // namespace
}  // namespace tavrel
