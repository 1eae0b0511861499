// Start-up, close and the folder box, with a scripted window.
#include <gtest/gtest.h>

#include <map>

#include "ui/main_window_logic.h"
#include "fake_window.h"
#include "game/game_locations.h"
#include "temp_folder.h"

namespace tavrel {
namespace {

using test::FakeEnv;
using test::FakeWindow;
using test::Native;
using test::TempFolder;
using Strings = std::vector<std::string>;

const std::string kFirstRunQuestion = "Do you have Generals ZERO HOUR expansion pack (ZH Mod) installed?";

class Lifecycle : public ::testing::Test {
protected:
    Lifecycle() { w.onFolderChange = [this](bool typed) { logic.txtGeneralsFolder_Change(typed); }; }
    TempFolder t;
    FakeWindow w;
    ModStore store{w};
    MainWindowLogic logic{w, store, FakeEnv({{"PROGRAMFILES", Native("/pf")}})};
};

TEST_F(Lifecycle, FirstRunAsksOnceAndDefaultsToGenerals) {
    w.answers = {Answer::No};
    logic.Form_Load();
    EXPECT_EQ(w.caption, "Tavrel - Generals Mod Manager v1.1.1");
    ASSERT_EQ(w.shown.size(), 1u);
    EXPECT_EQ(w.shown[0].text, kFirstRunQuestion);
    EXPECT_EQ(w.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(w.shown[0].icon, Icon::Question);
    EXPECT_EQ(w.settings["zhmode"], "0");
    EXPECT_EQ(w.zh, 0);
    EXPECT_EQ(w.tickValue, 0);
    EXPECT_EQ(w.folder, Native("/pf/EA Games/Command and Conquer Generals"));
    EXPECT_EQ(w.settings["path"], w.folder);  // saved by the box's change handling
    EXPECT_FALSE(w.zeroHourLabel);

    FakeWindow again;  // next start: the stored answer stands
    again.settings = w.settings;
    ModStore store2(again);
    MainWindowLogic logic2(again, store2, FakeEnv({}));
    logic2.Form_Load();
    EXPECT_TRUE(again.shown.empty());
}

TEST_F(Lifecycle, FirstRunYesSelectsZeroHour) {
    w.answers = {Answer::Yes};
    logic.Form_Load();
    EXPECT_EQ(w.settings["zhmode"], "1");
    EXPECT_EQ(w.zh, 1);
    EXPECT_EQ(w.tickValue, 1);
    EXPECT_TRUE(w.zeroHourLabel);
    EXPECT_EQ(w.folder, Native("/pf/EA Games/Command and Conquer Generals Zero Hour"));
}

TEST_F(Lifecycle, StoredValuesWin) {
    w.settings = {{"zhmode", "1"}};
    logic.Form_Load();
    EXPECT_TRUE(w.shown.empty());
    EXPECT_EQ(w.folder, Native("/pf/EA Games/Command and Conquer Generals Zero Hour"));

    t.file("__Alpha.bit");
    FakeWindow w2;
    w2.settings = {{"zhmode", "1"}, {"path", t.path() + Native("/")}};
    ModStore store2(w2);
    MainWindowLogic logic2(w2, store2, FakeEnv({}));
    w2.onFolderChange = [&](bool typed) { logic2.txtGeneralsFolder_Change(typed); };
    logic2.Form_Load();
    EXPECT_EQ(w2.list, Strings{"__Alpha"});
    EXPECT_EQ(w2.folder, t.path());  // the start-up scan trims it
    EXPECT_TRUE(w2.shown.empty());   // a wrong folder would not be reported either
}

TEST_F(Lifecycle, UnreadableModeAsksAgainAndOtherNumbersMeanZeroHour) {
    w.settings = {{"zhmode", "yes"}};
    w.answers = {Answer::No};
    logic.Form_Load();
    EXPECT_EQ(w.shown.size(), 1u);
    EXPECT_EQ(w.settings["zhmode"], "0");

    FakeWindow w2;
    w2.settings = {{"zhmode", "7"}};
    ModStore store2(w2);
    MainWindowLogic(w2, store2, FakeEnv({})).Form_Load();
    EXPECT_EQ(w2.zh, 1);
    EXPECT_EQ(w2.tickValue, 1);
}

TEST_F(Lifecycle, AShortStoredPathIsShownButNeitherSavedNorScanned) {
    w.settings = {{"zhmode", "0"}, {"path", "C:\\"}};
    logic.Form_Load();
    EXPECT_EQ(w.folder, "C:\\");
    EXPECT_TRUE(w.saves.empty());
    EXPECT_TRUE(w.list.empty());
}

TEST_F(Lifecycle, CloseSavesBothSettingsEvenAnEmptyFolder) {
    w.zh = 1;
    w.folder = "";
    logic.Form_QueryUnload();
    EXPECT_EQ(w.saves, (std::vector<std::pair<std::string, std::string>>{{"path", ""}, {"zhmode", "1"}}));
}

TEST_F(Lifecycle, TheFolderBoxSavesAndScansAboveThreeCharacters) {
    t.file("__Alpha.bit");
    w.type("C:\\");
    EXPECT_TRUE(w.saves.empty());
    w.type(t.path());
    EXPECT_EQ(w.settings["path"], t.path());
    EXPECT_EQ(w.list, Strings{"__Alpha"});
    w.type(t.path() + "x");  // no such folder yet: an empty list, no message
    EXPECT_TRUE(w.list.empty());
    EXPECT_TRUE(w.shown.empty());
}

TEST(ProgramFiles, TheEnvironmentNamesIt) {
    EXPECT_EQ(ProgramFilesFolder(FakeEnv({{"PROGRAMFILES", Native("/games/pf")}})), Native("/games/pf"));
    EXPECT_EQ(DefaultGameFolder(false, FakeEnv({{"PROGRAMFILES", ""}})),
              Native("/EA Games/Command and Conquer Generals"));
}

TEST(ProgramFiles, ElseTheWinePrefix) {
    if (test::OnWindows()) GTEST_SKIP() << "a Wine prefix stands in for Windows' Program Files on Linux only";
    TempFolder t;
    EXPECT_EQ(ProgramFilesFolder(FakeEnv({{"WINEPREFIX", t.path()}})), t.path() + "/drive_c/Program Files");
    t.folder("drive_c/Program Files (x86)");
    EXPECT_EQ(ProgramFilesFolder(FakeEnv({{"WINEPREFIX", t.path()}})), t.path() + "/drive_c/Program Files (x86)");
    EXPECT_EQ(ProgramFilesFolder(FakeEnv({{"HOME", "/home/player"}})), "/home/player/.wine/drive_c/Program Files");
}

}  // namespace
}  // namespace tavrel
