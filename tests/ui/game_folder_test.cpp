// "Browse...", the Zero Hour switch and finding an installed game, with a
// scripted window on real folders.
#include <fstream>

#include "store_fixture.h"
#include "game/game_locations.h"
#include "support/path_rules.h"

namespace tavrel {
namespace {

using test::FakeEnv;
using test::Native;
using test::Strings;
using test::TempFolder;

const std::string kSwitchOn =
    "Are you sure you want to switch to Generals ZERO HOUR mode? (Only do this if you have *installed* the ZERO "
    "HOUR expansion pack!)";
const std::string kSwitchOff =
    "Are you sure you want to switch to Generals only mode? (Only do this if you have *uninstalled* the ZERO HOUR "
    "expansion pack!)";

class GameFolder : public ::testing::Test {
protected:
    GameFolder() {
        w.onFolderChange = [this](bool typed) { logic.txtGeneralsFolder_Change(typed); };
        generals = t.folder("EA Games/Command and Conquer Generals");
        zeroHour = t / "EA Games/Command and Conquer Generals Zero Hour";
    }
    void clickTick(int newTick) {
        w.tickValue = newTick;  // a left click flips the tick before the release
        logic.chkZHMode_MouseUp();
    }
    TempFolder t;
    test::FakeWindow w;
    ModStore store{w};
    MainWindowLogic logic{w, store, FakeEnv({{"PROGRAMFILES", Native("/pf")}, {"HOME", t.path()}})};
    std::string generals, zeroHour;
};

TEST_F(GameFolder, BrowseCancelledChangesAndSavesNothing) {
    w.folder = generals;
    w.folderChoices = {std::nullopt};
    logic.cmdBrowse_Click();
    ASSERT_EQ(w.folderRequests.size(), 1u);
    EXPECT_EQ(w.folderRequests[0].title, "Select Your Generals Folder...");
    EXPECT_EQ(w.folderRequests[0].startFolder, Native("/pf/"));
    EXPECT_EQ(w.folder, generals);
    EXPECT_TRUE(w.saves.empty());
}

TEST_F(GameFolder, BrowseSetsScansAndSavesTheFolder) {
    t.file("EA Games/Command and Conquer Generals/__A.bit");
    w.zh = 1;
    w.folderChoices = {generals + Native("/")};
    logic.cmdBrowse_Click();
    EXPECT_EQ(w.folderRequests[0].title, "Select Your Generals Zero Hour Folder...");
    EXPECT_EQ(w.folder, generals);  // trimmed by the scan
    EXPECT_EQ(w.list, Strings{"__A"});
    EXPECT_EQ(w.saves.back(), (std::pair<std::string, std::string>{"path", generals}));
}

TEST_F(GameFolder, BrowseToTheCurrentFolderStillRescansAndSaves) {
    w.folder = t / "gone";
    w.folderChoices = {w.folder};
    w.answers = {Answer::Ok};
    logic.cmdBrowse_Click();
    EXPECT_EQ(w.texts().size(), 1u);  // the invalid-folder message
    EXPECT_EQ(w.saves.back(), (std::pair<std::string, std::string>{"path", t / "gone"}));
}

TEST_F(GameFolder, SwitchingOnMovesToTheZeroHourSibling) {
    t.folder("EA Games/Command and Conquer Generals Zero Hour");
    w.folder = generals;
    w.answers = {Answer::Yes};
    clickTick(1);
    EXPECT_EQ(w.texts(), Strings{kSwitchOn});
    EXPECT_EQ(w.shown[0].icon, Icon::Question);
    EXPECT_EQ(w.zh, 1);
    EXPECT_EQ(w.folder, zeroHour);
    EXPECT_EQ(w.settings["path"], zeroHour);
    EXPECT_EQ(w.settings["zhmode"], "1");
    EXPECT_TRUE(w.zeroHourLabel);
    EXPECT_TRUE(w.folderRequests.empty());
}

TEST_F(GameFolder, SwitchingOffMovesBackAndIgnoresCase) {
    const std::string upper = t.folder("X/COMMAND AND CONQUER GENERALS zero hour");
    t.folder("X/COMMAND AND CONQUER GENERALS");
    w.zh = 1;
    w.tickValue = 1;
    w.folder = upper;
    w.answers = {Answer::Yes};
    clickTick(0);
    EXPECT_EQ(w.texts(), Strings{kSwitchOff});
    EXPECT_EQ(w.zh, 0);
    EXPECT_EQ(w.folder, t / "X/COMMAND AND CONQUER GENERALS");
    EXPECT_EQ(w.settings["zhmode"], "0");

    t.folder("X/COMMAND AND CONQUER GENERALS Zero Hour");
    w.answers = {Answer::Yes};
    clickTick(1);
    EXPECT_EQ(w.folder, t / "X/COMMAND AND CONQUER GENERALS Zero Hour");
}

TEST_F(GameFolder, WithoutTheSiblingAsksForTheFolder) {
    w.folder = generals;
    w.answers = {Answer::Yes, Answer::Ok};
    w.folderChoices = {std::nullopt};
    clickTick(1);
    EXPECT_EQ(w.texts(), (Strings{kSwitchOn, "Please select your Generals Zero Hour folder now."}));
    EXPECT_EQ(w.shown[1].icon, Icon::Exclamation);
    ASSERT_EQ(w.folderRequests.size(), 1u);
    EXPECT_EQ(w.folderRequests[0].title, "Select Your Generals Zero Hour folder...");
    EXPECT_EQ(w.folderRequests[0].startFolder, generals);
    EXPECT_EQ(w.folder, generals);  // cancelled: the old game's folder, the new mode
    EXPECT_EQ(w.zh, 1);
    EXPECT_EQ(w.settings["zhmode"], "1");
}

// Steam names the two games' folders apart: the switch takes the other
// game's folder where it was found, both ways, and asks nothing more.
TEST_F(GameFolder, WithoutTheSiblingTakesTheOtherGameWhereItWasFound) {
    if (test::OnWindows()) GTEST_SKIP() << "the fake Steam is a Linux one, in the home folder";
    const std::string common = ".local/share/Steam/steamapps/common/";
    const std::string steamGenerals = t.file(common + "Command and Conquer Generals/generals.exe");
    t.file(common + "Command and Conquer Generals/INI.big");
    const std::string steamZeroHour = t.file(common + "Command & Conquer Generals - Zero Hour/generals.exe");
    t.file(common + "Command & Conquer Generals - Zero Hour/INIZH.big");
    w.folder = FileGetFolder(steamGenerals);
    w.answers = {Answer::Yes, Answer::Yes};
    clickTick(1);
    EXPECT_EQ(w.folder, FileGetFolder(steamZeroHour));
    clickTick(0);
    EXPECT_EQ(w.folder, FileGetFolder(steamGenerals));
    EXPECT_EQ(w.texts(), (Strings{kSwitchOn, kSwitchOff}));
}

TEST_F(GameFolder, AVanishedFolderStartsTheBrowserAtProgramFiles) {
    w.folder = t / "Old/Command and Conquer Generals";
    w.answers = {Answer::Yes, Answer::Ok, Answer::Ok};
    w.folderChoices = {generals};
    clickTick(1);
    EXPECT_EQ(w.folderRequests[0].startFolder, Native("/pf"));
    EXPECT_EQ(w.folder, generals);
    EXPECT_EQ(w.settings["path"], generals);
}

TEST_F(GameFolder, AnotherFolderNameStaysAndIsRescannedWithMessages) {
    w.folder = t / "Games/Generals/";
    w.answers = {Answer::Yes, Answer::Ok};
    clickTick(1);
    EXPECT_EQ(w.texts().size(), 2u);  // the question, then the invalid-folder message
    EXPECT_NE(w.texts()[1].find("for the Generals Zero Hour folder"), std::string::npos);
    EXPECT_TRUE(w.folderRequests.empty());
}

TEST_F(GameFolder, NoPutsTheTickBackAndSavesTheOldMode) {
    w.folder = generals;
    w.answers = {Answer::No};
    clickTick(1);
    EXPECT_EQ(w.tickValue, 0);
    EXPECT_EQ(w.zh, 0);
    EXPECT_EQ(w.folder, generals);
    EXPECT_EQ(w.saves, (std::vector<std::pair<std::string, std::string>>{{"zhmode", "0"}}));
}

TEST_F(GameFolder, ARightButtonReleaseOnlyRefreshesTheLabelAndSaves) {
    w.zh = 1;
    w.tickValue = 1;
    w.folder = generals;
    logic.chkZHMode_MouseUp();
    EXPECT_TRUE(w.shown.empty());
    EXPECT_TRUE(w.zeroHourLabel);
    EXPECT_EQ(w.saves, (std::vector<std::pair<std::string, std::string>>{{"zhmode", "1"}}));
}

TEST(ParseLibraryFolders, ReadsBothForms) {
    EXPECT_EQ(ParseLibraryFolders(R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/p/.local/share/Steam"
		"label"		""
		"apps" { "2229850" "123" }
	}
	"1"
	{
		"path"		"/mnt/Games Disk/Steam\\Library"
	}
})"),
              (Strings{"/home/p/.local/share/Steam", "/mnt/Games Disk/Steam\\Library"}));
    EXPECT_EQ(ParseLibraryFolders("\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\"1\"\n\t\"1\"\t\"/old/lib\"\n}"),
              Strings{"/old/lib"});
    EXPECT_TRUE(ParseLibraryFolders("").empty());
}

// Loads the main window with `stored` settings in the environment `vars`
// (HOME set to `home`), and answers the folder it shows.
std::string LoadedFolder(const TempFolder& home, std::map<std::string, std::string> stored,
                         std::map<std::string, std::string> vars) {
    test::FakeWindow w;
    w.settings = std::move(stored);
    ModStore store(w);
    vars["HOME"] = home.path();
    MainWindowLogic(w, store, FakeEnv(vars)).Form_Load();
    return w.folder;
}

TEST(FindInstalledGame, ReplacesADefaultWithoutTheGame) {
    if (test::OnWindows()) GTEST_SKIP() << "Wine and Proton prefixes are where Linux players have the game";
    TempFolder home;
    const std::string found = home.folder(".wine/drive_c/Program Files (x86)/EA Games/Command and Conquer Generals Zero Hour");
    home.file(".wine/drive_c/Program Files (x86)/EA Games/Command and Conquer Generals Zero Hour/generals.exe");
    home.file(".wine/drive_c/Program Files (x86)/EA Games/Command and Conquer Generals Zero Hour/INIZH.big");
    EXPECT_EQ(LoadedFolder(home, {{"zhmode", "1"}}, {{"PROGRAMFILES", "/nowhere"}}), found);
    home.folder("pf/EA Games/Command and Conquer Generals Zero Hour");
    EXPECT_EQ(LoadedFolder(home, {{"zhmode", "1"}}, {{"PROGRAMFILES", home.path() + "/pf"}}), found);
}

// A stored folder wins wherever the game may be found else, and so does a
// default folder that holds the game. A default that merely exists does
// not: the EA app keeps both games in one folder of the Zero Hour
// default's name, and a first start finds the mode's own below it.
TEST(FindInstalledGame, AStoredFolderOrADefaultHoldingTheGameWins) {
    TempFolder home;
    EXPECT_EQ(LoadedFolder(home, {{"zhmode", "1"}, {"path", Native("/my/game")}}, {{"PROGRAMFILES", Native("/nowhere")}}),
              Native("/my/game"));

    // Windows' 32-bit Program Files, or the one of the Wine prefix in HOME.
    const std::string pf = home.folder(".wine/drive_c/Program Files (x86)");
    const std::map<std::string, std::string> vars =
        test::OnWindows() ? std::map<std::string, std::string>{{"programfiles", pf}, {"ProgramFiles(x86)", pf}}
                          : std::map<std::string, std::string>{};
    const std::string ea = ".wine/drive_c/Program Files (x86)/EA Games/Command and Conquer Generals Zero Hour";
    const std::string both = home.folder(ea);
    EXPECT_EQ(LoadedFolder(home, {{"zhmode", "1"}}, vars), both) << "nothing found: the default stays";
    for (const bool zeroHour : {true, false}) {
        const std::string game = ea + "/Command and Conquer Generals" + (zeroHour ? " Zero Hour" : "");
        home.file(game + "/generals.exe");
        home.file(game + (zeroHour ? "/INIZH.big" : "/INI.big"));
        EXPECT_EQ(LoadedFolder(home, {{"zhmode", zeroHour ? "1" : "0"}}, vars), home / game);
    }
    home.file(ea + "/game.dat");
    home.file(ea + "/INIZH.big");
    EXPECT_EQ(LoadedFolder(home, {{"zhmode", "1"}}, vars), both) << "a default that holds the game";
}

}  // namespace
}  // namespace tavrel
