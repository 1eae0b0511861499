// The tip line, the readme and the hidden Tools entry.
#include <gtest/gtest.h>

#include "store_fixture.h"
#include "ui/readme.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::TempFolder;

using Tips = test::StoreTest;

TEST_F(Tips, ElevenTextsInACycleWithTheModeOfTheClick) {
    std::vector<std::string> seen;
    for (int click = 1; click <= 12; ++click) {
        if (click == 3) w.zh = 1;  // switched between the second and the third click
        logic.lblNextTip_Click();
        seen.push_back(w.tipText);
    }
    EXPECT_EQ(seen[0], "Make sure Generals Game is closed completely before activating or deactivating a mod!");
    EXPECT_EQ(seen[2], "After activating a MOD, close this program and start Generals Zero Hour to play the new MOD.");
    EXPECT_EQ(seen[4],
              "To make Tavrel capable of managing a new MOD (single .big file), add it to the Generals Zero Hour folder "
              "and add 2 underscores __ to the beginning of the file name.");
    EXPECT_EQ(seen[9], "Tavrel has a easter egg! Can you find it?  :)");
    EXPECT_EQ(seen[10], kTipWarning);
    EXPECT_EQ(seen[11], "Make sure Generals Zero Hour Game is closed completely before activating or deactivating a mod!");
    for (int n = 1; n <= 10; ++n) EXPECT_NE(TipText(n, 0), kTipWarning) << n;
}

TEST_F(Tips, OnlyShiftAndTheRightButtonOpenTheTools) {
    w.folder = "";
    logic.picGenerals_MouseUp(2, 1);
    for (const auto& [button, shift] : std::vector<std::pair<int, int>>{{2, 0}, {2, 3}, {2, 5}, {1, 1}, {4, 1}}) {
        logic.picGenerals_MouseUp(button, shift);
    }
    w.folder = "/no/such/game";
    logic.picGenerals_MouseUp(2, 1);
    EXPECT_EQ(w.toolsOpenedWith, (std::vector<std::string>{"", "/no/such/game"}));
}

TEST_F(Tips, TheReadmeIsWrittenOnceAndNeverReplaced) {
    TempFolder program, user;
    w.programDir = program.path();
    w.userDir = user / "TVL";
    logic.lblViewHelp_Click();
    const std::string path = program / "readme.txt";
    EXPECT_EQ(w.opened, std::vector<std::string>{path});
    EXPECT_EQ(ReadAll(path), ReadmeText());
    const std::string lineEnd = test::OnWindows() ? "\r\n" : "\n";  // the system's own
    EXPECT_EQ(ReadmeText().rfind("Tavrel - Generals Mod Manager v1.1.1" + lineEnd, 0), 0u);

    program.file("readme.txt", "my own notes");
    logic.lblViewHelp_Click();
    EXPECT_EQ(ReadAll(path), "my own notes");
    EXPECT_EQ(w.opened.size(), 2u);
    EXPECT_TRUE(w.shown.empty());
}

TEST_F(Tips, AReadOnlyProgramFolderKeepsTheReadmePerUser) {
    if (test::OnWindows()) {
        GTEST_SKIP() << "a read-only folder is a POSIX mode; Windows' read-only attribute lets files into a "
                        "folder, and its access rights are not enforced by Wine";
    }
    if (test::RunningAsRoot()) GTEST_SKIP() << "root writes into read-only folders";
    TempFolder program, user;
    test::SetPosixMode(program.path(), 0555);
    w.programDir = program.path();
    w.userDir = user / "share/TVL";
    logic.lblViewHelp_Click();
    test::SetPosixMode(program.path(), 0755);
    EXPECT_EQ(w.opened, std::vector<std::string>{user / "share/TVL/readme.txt"});
    EXPECT_EQ(ReadAll(user / "share/TVL/readme.txt"), ReadmeText());
}

TEST_F(Tips, AReadmeThatCannotBeWrittenIsReported) {
    TempFolder program;
    program.folder("readme.txt");  // a folder of that name
    w.programDir = program.path();
    w.answers = {Answer::Ok};
    logic.lblViewHelp_Click();
    EXPECT_EQ(w.texts(), std::vector<std::string>{"Tavrel could not write its readme file " + (program / "readme.txt") +
                                                  ". (" + test::ReasonText(test::Reason::WriteAFolder) + ")"});
    EXPECT_EQ(w.shown[0].icon, Icon::Critical);
    EXPECT_TRUE(w.opened.empty());
}

}  // namespace
}  // namespace tavrel
