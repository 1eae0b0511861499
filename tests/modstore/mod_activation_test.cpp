// Activation and deactivation on real folders: the messages in order, the
// files afterwards, and never a lost byte.
#include "store_fixture.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::Reason;
using test::ReasonText;
using test::Strings;

class Activation : public test::StoreTest {
protected:
    // Scans the folder as the window would have before the user clicks.
    void scan() {
        store.UpdateList(true);
        w.shown.clear();
    }
};

TEST_F(Activation, NeedsASelection) {
    t.file("__A.bit", "a");
    scan();
    markList();
    w.answers = {Answer::Ok};
    store.lblActivate_Click();
    ASSERT_EQ(w.shown.size(), 1u);
    EXPECT_EQ(w.shown[0].text, "Please select a MOD from the list to activate!");
    EXPECT_EQ(w.shown[0].icon, Icon::Critical);
    EXPECT_FALSE(scannedSinceMark());
    EXPECT_EQ(t.names(), Strings{"__A.bit"});
}

TEST_F(Activation, QuestionAnsweredNoChangesNothing) {
    t.file("__A.bit", "a");
    scan();
    select("__A");
    w.answers = {Answer::No};
    store.lblActivate_Click();
    EXPECT_EQ(w.texts(), Strings{"Are you sure you want to activate __A MOD?"});
    EXPECT_EQ(w.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(w.shown[0].icon, Icon::Question);
    EXPECT_EQ(t.names(), Strings{"__A.bit"});
}

TEST_F(Activation, WithNoActiveModShowsOnlyTheActivatedMessage) {
    t.file("__A.bit", "a");
    scan();
    select("__A");
    w.answers = {Answer::Yes, Answer::Ok};
    store.lblActivate_Click();
    EXPECT_EQ(w.texts(), (Strings{"Are you sure you want to activate __A MOD?", "MOD __A activated..."}));
    EXPECT_EQ(w.shown[1].icon, Icon::Information);
    EXPECT_EQ(ReadAll(t / "__A.big"), "a");
    EXPECT_EQ(w.active, "__A");
    EXPECT_TRUE(w.list.empty());
}

TEST_F(Activation, SwitchesOffTheActiveModFirst) {
    t.file("__A.big", "a");
    t.file("__B.bit", "b");
    t.file("INI.big", "game");
    scan();
    const Strings before = contents();
    select("__B");
    w.answers = {Answer::Yes, Answer::Ok, Answer::Ok};
    store.lblActivate_Click();
    EXPECT_EQ(w.texts(), (Strings{"Are you sure you want to activate __B MOD?", "Mod __A Has Been De-activated...",
                                  "MOD __B activated..."}));
    EXPECT_EQ(w.active, "__B");
    EXPECT_EQ(w.list, Strings{"__A"});
    EXPECT_EQ(t.names(), (Strings{"INI.big", "__A.bit", "__B.big"}));
    EXPECT_EQ(contents(), before);
}

TEST_F(Activation, OverwriteRefusedLeavesEverything) {
    t.file("__A.big", "a");
    t.file("__B.big", "b active");
    t.file("__B.bit", "b inactive");
    w.answers = {Answer::Cancel};  // an earlier scan left __B active
    store.UpdateList(true);
    w.shown.clear();
    select("__B");
    markList();
    w.answers = {Answer::Yes, Answer::No};
    store.lblActivate_Click();
    ASSERT_EQ(w.shown.size(), 2u);
    EXPECT_EQ(w.shown[1].text,
              "This MOD '__B' (.big file) already exists in your Generals folder! Do you wish to overwrite this MOD "
              "file? (not recommended, use care when replacing .big files!)");
    EXPECT_EQ(w.shown[1].icon, Icon::Critical);
    EXPECT_FALSE(scannedSinceMark());
    EXPECT_EQ(w.active, "__A");
    EXPECT_EQ(t.names(), (Strings{"__A.big", "__B.big", "__B.bit"}));
}

TEST_F(Activation, OverwriteAgreedReplacesOnlyTheTarget) {
    t.file("__A.big", "a");
    t.file("__B.big", "b old");
    t.file("__B.bit", "b new");
    w.zh = 1;
    w.answers = {Answer::Cancel};
    store.UpdateList(true);
    w.shown.clear();
    select("__B");
    w.answers = {Answer::Yes, Answer::Yes, Answer::Ok, Answer::Ok};
    store.lblActivate_Click();
    EXPECT_NE(w.shown[1].text.find("exists in your Generals Zero Hour folder!"), std::string::npos);
    EXPECT_EQ(w.shown[2].text, "Mod __A Has Been De-activated...");
    EXPECT_EQ(w.shown[3].text, "MOD __B activated...");
    EXPECT_EQ(ReadAll(t / "__B.big"), "b new");
    EXPECT_EQ(ReadAll(t / "__A.bit"), "a");
    EXPECT_EQ(t.names(), (Strings{"__A.bit", "__B.big"}));
}

TEST_F(Activation, TheActiveModsOwnEntryKeepsItsInactiveCopy) {
    // A copy installed under the active mod's name: the label and the list
    // show the same entry.
    t.file("__X.big", "old version");
    t.file("__X.bit", "new version");
    scan();
    ASSERT_EQ(w.active, "__X");
    select("__X");
    w.answers = {Answer::Yes, Answer::Yes, Answer::Ok};
    store.lblActivate_Click();
    EXPECT_EQ(w.texts().back(), "MOD __X activated...");
    EXPECT_EQ(w.shown.size(), 3u);  // no deactivation of the same mod
    EXPECT_EQ(t.names(), Strings{"__X.big"});
    EXPECT_EQ(ReadAll(t / "__X.big"), "new version");
    EXPECT_EQ(w.active, "__X");
}

TEST_F(Activation, TheActiveModsOwnEntryInOtherLetterCase) {
    t.file("__x.big", "old version");
    t.file("__X.bit", "new version");
    scan();
    ASSERT_EQ(w.active, "__x");
    select("__X");
    w.answers = {Answer::Yes, Answer::Yes, Answer::Ok};
    store.lblActivate_Click();
    EXPECT_EQ(w.texts().back(), "MOD __X activated...");
    expectOnlyFile("__X.big", "new version");
}

TEST_F(Activation, AVanishedInactiveFileIsReported) {
    t.file("__A.big", "a");
    t.file("__B.bit", "b");
    scan();
    select("__B");
    test::RemoveTree(t / "__B.bit");
    w.answers = {Answer::Yes, Answer::Ok, Answer::Ok};
    store.lblActivate_Click();
    EXPECT_EQ(w.texts(), (Strings{"Are you sure you want to activate __B MOD?", "Mod __A Has Been De-activated...",
                                  "An error occurred while attempting to activate __B. (" +
                                      ReasonText(Reason::NoSuchFile) + ")"}));
    EXPECT_EQ(w.shown[2].icon, Icon::Critical);
    EXPECT_EQ(w.active, "");
    EXPECT_EQ(w.list, Strings{"__A"});
}

TEST_F(Activation, AVanishedInactiveFileNeverCostsTheAgreedTarget) {
    t.file("__B.big", "b active");
    t.file("__B.bit", "b inactive");
    t.file("__A.big", "a");
    w.answers = {Answer::Cancel};
    store.UpdateList(true);
    w.shown.clear();
    select("__B");
    test::RemoveTree(t / "__B.bit");
    w.answers = {Answer::Yes, Answer::Yes, Answer::Ok, Answer::Ok};
    store.lblActivate_Click();
    EXPECT_EQ(w.texts().back(),
              "An error occurred while attempting to activate __B. (" + ReasonText(Reason::NoSuchFile) + ")");
    EXPECT_EQ(ReadAll(t / "__B.big"), "b active");
}

TEST_F(Activation, AnUnprefixedEntryBecomesAGameArchive) {
    t.file("Textures.bit", "t");
    scan();
    select("Textures");
    w.answers = {Answer::Yes, Answer::Ok};
    store.lblActivate_Click();
    EXPECT_EQ(w.texts().back(), "MOD Textures activated...");
    EXPECT_EQ(t.names(), Strings{"Textures.big"});
    EXPECT_TRUE(w.list.empty());
    EXPECT_EQ(w.active, "");
}

TEST_F(Activation, AnEmptyNameDoesNothing) {
    markList();
    store.ActivateMod("");
    store.DeactivateMod("", true);
    EXPECT_FALSE(scannedSinceMark());
    EXPECT_TRUE(w.shown.empty());
}

class Deactivation : public Activation {};

TEST_F(Deactivation, AnIdenticalInactiveCopyGivesWay) {
    t.file("__A.big", "same");
    t.file("__A.bit", "same");
    w.answers = {Answer::Ok};
    store.DeactivateMod("__A", false);
    EXPECT_EQ(w.texts(), Strings{"Mod __A Has Been De-activated..."});
    EXPECT_EQ(t.names(), Strings{"__A.bit"});
    EXPECT_EQ(ReadAll(t / "__A.bit"), "same");
}

TEST_F(Deactivation, ADifferentInactiveCopyIsKeptBesideIt) {
    t.file("__A.big", "active version");
    t.file("__a.BIT", "installed later");
    t.file("__A (2).bit", "taken");
    const Strings before = contents();
    w.answers = {Answer::Ok};
    store.DeactivateMod("__A", true);
    EXPECT_EQ(w.texts(), Strings{"Mod __A Has Been De-activated..."});
    EXPECT_EQ(ReadAll(t / "__A.bit"), "active version");
    EXPECT_EQ(ReadAll(t / "__A (3).bit"), "installed later");
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(w.list, (Strings{"__A (2)", "__A (3)", "__A"}));  // " " sorts before "."
}

TEST_F(Deactivation, AMissingActiveFileCostsNoInactiveCopy) {
    t.file("__A.bit", "inactive");
    w.answers = {Answer::Ok};
    store.DeactivateMod("__A", false);
    EXPECT_EQ(w.texts(), Strings{"An error occurred while attempting to de-activate __A. (" +
                                 ReasonText(Reason::NoSuchFile) + ")"});
    EXPECT_EQ(t.names(), Strings{"__A.bit"});
}

TEST_F(Deactivation, AllWithAnEmptyLabelShowsNothing) {
    t.file("__A.bit");
    scan();
    store.lblDeactivate_Click();
    EXPECT_TRUE(w.shown.empty());
}

TEST_F(Deactivation, AllWithOneMod) {
    t.file("__A.big", "a");
    scan();
    w.answers = {Answer::Yes, Answer::Ok};
    store.lblDeactivate_Click();
    EXPECT_EQ(w.texts(), (Strings{"Are you sure you want to de-activate all mods?", "Mod __A Has Been De-activated..."}));
    EXPECT_EQ(w.active, "");
    EXPECT_EQ(w.list, Strings{"__A"});
    EXPECT_EQ(ReadAll(t / "__A.bit"), "a");
}

TEST_F(Deactivation, AllGoesOnToModsAnEarlierScanLeftActive) {
    t.file("__A.big", "a");
    t.file("__B.big", "b");
    w.answers = {Answer::Cancel};
    store.UpdateList(true);
    w.shown.clear();
    w.answers = {Answer::Yes, Answer::Ok, Answer::Ok};
    store.lblDeactivate_Click();
    EXPECT_EQ(w.texts(), (Strings{"Are you sure you want to de-activate all mods?", "Mod __A Has Been De-activated...",
                                  "Mod __B Has Been De-activated..."}));
    EXPECT_EQ(t.names(), (Strings{"__A.bit", "__B.bit"}));
    EXPECT_EQ(w.active, "");
}

TEST_F(Deactivation, AllAsksToGoOnAfterEveryTenthFailedPass) {
    t.file("__A.big", "a");
    t.folder("__A.bit");  // the rename can never succeed
    scan();
    const std::string error =
        "An error occurred while attempting to de-activate __A. (" + ReasonText(Reason::FileExists) + ")";
    const std::string goOn =
        "Alot of MOD's have been deactivated. This could be because error's have happened or you have alot of "
        "MODS! Click Yes if you are sure you want to continue deactivating all mods....";
    w.answers = {Answer::Yes};
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 10; ++i) w.answers.push_back(Answer::Ok);
        w.answers.push_back(round == 0 ? Answer::Yes : Answer::No);
    }
    store.lblDeactivate_Click();
    ASSERT_EQ(w.shown.size(), 23u);
    EXPECT_TRUE(w.answers.empty());
    for (std::size_t i : {1u, 10u, 12u, 21u}) EXPECT_EQ(w.shown[i].text, error);
    EXPECT_EQ(w.shown[11].text, goOn);
    EXPECT_EQ(w.shown[11].icon, Icon::Critical);
    EXPECT_EQ(w.shown[22].text, goOn);
    EXPECT_EQ(w.active, "__A");
    EXPECT_EQ(ReadAll(t / "__A.big"), "a");
}

}  // namespace
}  // namespace tavrel
