// A mod's companion files and the game's own loose files it stands in for:
// every operation of the store on a game folder that holds the game's loose
// scripts and splash, checked file by file.
#include <algorithm>
#include <filesystem>

#include "modstore/placement.h"
#include "modstore/store_folder.h"
#include "support/platform.h"
#include "store_fixture.h"

namespace tavrel {
namespace {

using test::Native;
using test::ReadAll;
using test::Strings;
using Files = std::map<std::string, std::string>;

class Companions : public test::StoreTest {
protected:
    // A game folder as every retail and Steam copy has it: loose scripts
    // and a splash of its own.
    Companions() {
        t.file("INIZH.big", "game");
        t.file("Data/Scripts/SkirmishScripts.scb", "stock skirmish");
        t.file("Data/Scripts/MultiplayerScripts.scb", "stock multiplayer");
        t.file("Install_Final.bmp", "stock splash");
        t.file("Data/INI/Armor.ini", "stock armor");  // the mod's archive has it too
    }

    void SetUp() override {
        if (made.empty()) GTEST_SKIP() << "no test archives: ctest makes them";
    }

    // Installs "Reds 1.0" out of its zip, every archive ticked, not activated.
    void installReds() {
        w.answers = {Answer::No};
        w.archiveChoices = {ArchiveChoice{{0, 1, 2}, "Reds"}};
        ASSERT_TRUE(store.InstallMod(made + Native("/Reds 1.0.zip")));
        w.shown.clear();
    }

    std::string made = test::TestArchives();
};

TEST_F(Companions, ActivationPutsThemInPlaceAndDeactivationPutsEveryFileBack) {
    installReds();
    const Files installed = t.files();
    EXPECT_EQ(installed.at(".tavrel/__Reds/Data/Movies/Intro.bik"), "movie");

    store.UpdateList(true);
    select("__Reds");
    w.answers = {Answer::Yes, Answer::Ok, Answer::Ok};
    store.lblActivate_Click();
    ASSERT_EQ(w.texts().size(), 3u);
    EXPECT_EQ(w.texts()[1], "MOD __Reds activated...");
    EXPECT_EQ(w.texts()[2],
              "Set aside while MOD __Reds is active, so that the game reads the MOD's own: Data\\INI\\Armor.ini, "
              "Data\\Scripts\\SkirmishScripts.scb, Install_Final.bmp.");
    EXPECT_EQ(w.shown[2].icon, Icon::Information);  // nothing hides the mod
    Files active = t.files();
    EXPECT_EQ(active["Data/Movies/Intro.bik"], "movie");
    EXPECT_EQ(active["Install_Final.bmp"], "splash");
    EXPECT_EQ(active["Install_Final.bmp.tavrel"], "stock splash");
    EXPECT_EQ(active["Data/Scripts/SkirmishScripts.scb"], "main scripts");
    EXPECT_EQ(active["Data/Scripts/SkirmishScripts.scb.tavrel"], "stock skirmish");
    EXPECT_EQ(active["Data/Scripts/MultiplayerScripts.scb"], "stock multiplayer");  // the mod has none
    EXPECT_EQ(active["Data/INI/Armor.ini.tavrel"], "stock armor");
    EXPECT_EQ(active.count("Data/INI/Armor.ini"), 0u);  // the archive's own is read now
    EXPECT_EQ(active.count(".tavrel/__Reds/Data/Movies/Intro.bik"), 0u);
    EXPECT_EQ(w.active, "__Reds");

    w.shown.clear();
    w.answers = {Answer::Yes, Answer::Ok};
    store.lblDeactivate_Click();
    EXPECT_EQ(w.texts(), (Strings{"Are you sure you want to de-activate all mods?", "Mod __Reds Has Been De-activated..."}));
    EXPECT_EQ(t.files(), installed);
    EXPECT_FALSE(PathExists(t / "Data/Movies"));  // made for the mod, and empty again

    w.shown.clear();
    select("__Reds");
    w.answers = {Answer::Yes, Answer::Ok};
    store.lblDelete_Click();
    Files deleted = installed;
    // Tavrel's folder goes with the last thing it kept.
    std::erase_if(deleted, [](const auto& f) {
        return f.first.find("Reds") != std::string::npos || f.first.starts_with(".tavrel/");
    });
    EXPECT_EQ(t.files(), deleted);
    EXPECT_FALSE(PathExists(t / ".tavrel/__Reds"));
}

TEST_F(Companions, AModSwitchedOffBehindTavrelsBackGetsTheGameItsFilesBack) {
    installReds();
    const Files installed = t.files();
    store.UpdateList(true);
    w.answers = {Answer::Ok, Answer::Ok};
    store.ActivateMod("__Reds");
    std::filesystem::rename(t / "__Reds.big", t / "__Reds.bit");  // by hand
    w.shown.clear();
    store.UpdateList(false);
    EXPECT_TRUE(w.shown.empty());
    EXPECT_EQ(t.files(), installed);
    EXPECT_EQ(w.list, Strings{"__Reds"});
}

TEST_F(Companions, ANewVersionOfTheActiveModAsksToSwitchItOffFirst) {
    installReds();
    store.UpdateList(true);
    w.answers = {Answer::Ok, Answer::Ok};
    store.ActivateMod("__Reds");
    const Files active = t.files();
    const std::string question =
        "The MOD __Reds is active. Tavrel must de-activate it before it installs this version, so that the files it "
        "keeps beside the MOD can be replaced. De-activate it and install the new version?";

    w.shown.clear();
    w.answers = {Answer::No};
    w.archiveChoices = {ArchiveChoice{{0, 1, 2}, "Reds"}};
    EXPECT_FALSE(store.InstallMod(made + Native("/Reds 1.0.7z")));
    EXPECT_EQ(w.texts(), Strings{question});
    EXPECT_EQ(t.files(), active);

    w.shown.clear();
    w.answers = {Answer::Yes, Answer::Ok, Answer::No};
    w.archiveChoices = {ArchiveChoice{{0, 1, 2}, "Reds"}};
    EXPECT_TRUE(store.InstallMod(made + Native("/Reds 1.0.7z")));
    ASSERT_EQ(w.texts().size(), 3u);
    EXPECT_EQ(w.texts()[1], "Mod __Reds Has Been De-activated...");
    const Files now = t.files();
    EXPECT_EQ(now.at("Install_Final.bmp"), "stock splash");
    EXPECT_EQ(now.at(".tavrel/__Reds/Install_Final.bmp"), "splash");
    EXPECT_EQ(now.count("__Reds.big"), 0u);
}

TEST_F(Companions, AVersionWithoutCompanionsTakesTheOldOnesAway) {
    installReds();
    Files before = t.files();
    const test::TempFolder downloads;
    w.answers = {Answer::No};
    ASSERT_TRUE(store.InstallMod(downloads.file("Reds.big", "plain reds")));
    std::erase_if(before, [](const auto& f) {
        return f.first.find("Reds") != std::string::npos || f.first.starts_with(".tavrel/");
    });
    before["__Reds.bit"] = "plain reds";
    EXPECT_EQ(t.files(), before);
    EXPECT_FALSE(PathExists(t / ".tavrel/__Reds"));
}

TEST_F(Companions, APlaceThatCannotBeTakenRefusesTheActivationAndChangesNothing) {
    installReds();
    t.folder("Data/Movies/Intro.bik");  // a folder where the movie goes
    const Files before = t.files();
    store.UpdateList(true);
    w.answers = {Answer::Ok};
    store.ActivateMod("__Reds");
    EXPECT_EQ(w.texts(), Strings{"An error occurred while attempting to activate __Reds. (Data\\Movies\\Intro.bik: " +
                                 FailureStatus(Failure::IsAFolder).text() + ")"});
    EXPECT_EQ(t.files(), before);
    EXPECT_EQ(w.active, "");
}

}  // namespace
}  // namespace tavrel
