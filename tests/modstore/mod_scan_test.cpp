// The folder scan on real temporary folders, with a scripted window.
#include <gtest/gtest.h>

#include "store_fixture.h"

namespace tavrel {
namespace {

using test::Native;
using test::ReadAll;
using test::Strings;

const std::string kInvalidGenerals =
    "The folder path you specified for the Generals folder does not appear valid! Please ensure that you "
    "have entered (or browsed for) the correct Generals folder path. Tavrel cannot continue.";
const std::string kInvalidZeroHour =
    "The folder path you specified for the Generals Zero Hour folder does not appear valid! Please ensure "
    "that you have entered (or browsed for) the correct Generals folder path. Tavrel cannot continue.";

using Scan = test::StoreTest;

TEST_F(Scan, StopsQuietlyOnAShortFolderText) {
    w.list = {"stale"};
    w.active = "stale";
    for (const std::string text : {"C:\\", "/ab", "", "/"}) {
        w.folder = text;
        store.UpdateList(false);
        EXPECT_TRUE(w.list.empty());
        EXPECT_EQ(w.active, "");
        EXPECT_EQ(w.folder, text);
    }
    EXPECT_TRUE(w.shown.empty());
}

TEST_F(Scan, ReportsAMissingFolderOnlyWhenNotSilent) {
    w.folder = t / "missing";
    w.list = {"stale"};
    store.UpdateList(true);
    EXPECT_TRUE(w.shown.empty());
    EXPECT_TRUE(w.list.empty());

    w.answers = {Answer::Ok};
    store.UpdateList(false);
    ASSERT_EQ(w.shown.size(), 1u);
    EXPECT_EQ(w.shown[0].text, kInvalidGenerals);
    EXPECT_EQ(w.shown[0].buttons, Buttons::Ok);
    EXPECT_EQ(w.shown[0].icon, Icon::Critical);

    w.zh = 1;
    w.answers = {Answer::Ok};
    store.UpdateList(false);
    EXPECT_EQ(w.shown.back().text, kInvalidZeroHour);
    EXPECT_TRUE(w.zeroHourLabel);
    w.zh = 0;
    w.answers = {Answer::Ok};
    w.folder = t.file("a-file.big");  // a file is no folder either
    store.UpdateList(false);
    EXPECT_EQ(w.shown.size(), 3u);
    EXPECT_FALSE(w.zeroHourLabel);
}

TEST_F(Scan, ListsInactiveModsAndLeavesGameArchivesAlone) {
    store.UpdateList(false);
    EXPECT_TRUE(w.list.empty());
    EXPECT_EQ(w.active, "");

    t.file("__Beta.bit");
    t.file("__Alpha.bit");
    t.file("Textures.BIT");          // no prefix, upper-case extension
    t.file("INI.big", "game");       // the game's own archive
    t.file("__Blue Storm.Final.bit");
    test::MakeHidden(t.file(".__Hidden.bit"));
    t.folder("__Folder.bit");
    store.UpdateList(false);
    EXPECT_EQ(w.list, (Strings{"__Alpha", "__Beta", "__Blue Storm.Final", "Textures"}));
    EXPECT_EQ(w.active, "");
    EXPECT_EQ(ReadAll(t / "INI.big"), "game");
    EXPECT_TRUE(w.shown.empty());
}

TEST_F(Scan, KeepsTheFirstActiveModAndDeactivatesTheOthersOnOk) {
    t.file("__Two.big", "two");
    t.file("__Three.BIG", "three");
    t.file("__One.big", "one");
    t.file("__Zed.bit", "zed");
    w.answers = {Answer::Ok};
    store.UpdateList(true);  // silent scans ask as well
    ASSERT_EQ(w.shown.size(), 1u);
    EXPECT_EQ(w.shown[0].text,
              "More then one MOD has been found! Tavrel will de-activate all newly found MOD's. (Except the first "
              "one found which is __One)");
    EXPECT_EQ(w.shown[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(w.shown[0].icon, Icon::Critical);
    EXPECT_TRUE(w.shownOnScreen);
    EXPECT_EQ(w.active, "__One");
    EXPECT_EQ(w.list, (Strings{"__Zed", "__Three", "__Two"}));
    EXPECT_EQ(t.names(), (Strings{"__One.big", "__Three.bit", "__Two.bit", "__Zed.bit"}));
    EXPECT_EQ(ReadAll(t / "__Three.bit"), "three");
    EXPECT_EQ(ReadAll(t / "__Two.bit"), "two");

    store.UpdateList(false);  // settled: no question the second time
    EXPECT_EQ(w.shown.size(), 1u);
}

TEST_F(Scan, CancelStopsBeforeTouchingAnything) {
    t.file("__One.big");
    t.file("__Two.big");
    t.file("__Three.big");
    t.file("__Old.bit");
    w.answers = {Answer::Cancel};
    store.UpdateList(false);
    EXPECT_EQ(w.shown.size(), 1u);
    EXPECT_EQ(w.active, "__One");
    EXPECT_EQ(w.list, Strings{"__Old"});
    EXPECT_EQ(t.names(), (Strings{"__Old.bit", "__One.big", "__Three.big", "__Two.big"}));
}

TEST_F(Scan, WhichModStaysActiveDoesNotDependOnCreationOrder) {
    t.file("__b.big");
    t.file("__A.big");
    w.answers = {Answer::Ok};
    store.UpdateList(false);
    EXPECT_EQ(w.active, "__A");
    EXPECT_EQ(w.list, Strings{"__b"});
}

TEST_F(Scan, NeverOverwritesAnInactiveCopy) {
    t.file("__One.big", "one");
    t.file("__Two.big", "two active");
    t.file("__two.BIT", "two inactive");  // listed under its own spelling
    w.answers = {Answer::Ok};
    store.UpdateList(false);
    EXPECT_EQ(w.active, "__One");
    EXPECT_EQ(w.list, Strings{"__two"});  // listed once
    EXPECT_EQ(ReadAll(t / "__Two.big"), "two active");
    EXPECT_EQ(ReadAll(t / "__two.BIT"), "two inactive");
}

TEST_F(Scan, AFailedReconcilingRenameIsSilentAndKeepsTheFile) {
    t.file("__One.big");
    t.file("__Two.big", "two");
    t.folder("__Two.bit");  // the target name is taken and is not a mod
    w.answers = {Answer::Ok};
    store.UpdateList(false);
    EXPECT_EQ(w.shown.size(), 1u);
    EXPECT_EQ(w.active, "__One");
    EXPECT_TRUE(w.list.empty());
    EXPECT_EQ(ReadAll(t / "__Two.big"), "two");
}

TEST_F(Scan, TheActiveModMayAlsoBeListed) {
    t.file("__One.big");
    t.file("__One.bit");
    store.UpdateList(false);
    EXPECT_EQ(w.active, "__One");
    EXPECT_EQ(w.list, Strings{"__One"});
    EXPECT_TRUE(w.shown.empty());
}

TEST_F(Scan, TrimsTrailingSeparatorsWithOneListingOfEachMod) {
    t.file("__Alpha.bit");
    t.file("__Beta.bit");
    t.file("__Active.big");
    w.folder = t.path() + Native("///");
    store.UpdateList(false);
    EXPECT_EQ(w.folder, t.path());
    EXPECT_EQ(w.list, (Strings{"__Alpha", "__Beta"}));
    EXPECT_EQ(w.active, "__Active");
    // The write-back ran the box's change handling: the trimmed path is saved.
    ASSERT_FALSE(w.saves.empty());
    EXPECT_EQ(w.saves.back(), (std::pair<std::string, std::string>{"path", t.path()}));
    EXPECT_TRUE(w.shown.empty());
}

TEST_F(Scan, ATypedTrailingSeparatorStaysInTheBox) {
    t.file("__Alpha.bit");
    w.folder = "";
    w.type(t.path() + Native("/"));
    EXPECT_EQ(w.folder, t.path() + Native("/"));  // the user goes on typing after it
    EXPECT_EQ(w.list, Strings{"__Alpha"});
    EXPECT_EQ(w.settings["path"], t.path() + Native("/"));
}

TEST_F(Scan, SeveralModsAskedOnceEvenWhenTheBoxIsTrimmed) {
    t.file("__One.big");
    t.file("__Two.big");
    w.folder = t.path() + Native("/");
    w.answers = {Answer::Ok};
    store.UpdateList(false);
    EXPECT_EQ(w.shown.size(), 1u);
    EXPECT_EQ(w.list, Strings{"__Two"});
}

TEST_F(Scan, ReportsAnUnreadableFolderAndGoesOn) {
    if (test::OnWindows()) {
        GTEST_SKIP() << "a folder that can be entered but not listed is a POSIX mode; Windows has access "
                        "rights for it, which Wine does not enforce";
    }
    if (test::RunningAsRoot()) GTEST_SKIP() << "root reads every folder";
    t.file("__Alpha.bit");
    test::SetPosixMode(t.path(), 0300);
    w.answers = {Answer::Ok};
    store.UpdateList(true);
    test::SetPosixMode(t.path(), 0700);
    ASSERT_EQ(w.shown.size(), 1u);  // one listing, one report
    EXPECT_EQ(w.shown[0].text, test::ReasonText(test::Reason::AccessDenied));
    EXPECT_TRUE(w.list.empty());
}

TEST_F(Scan, ModExistIgnoresCase) {
    EXPECT_FALSE(store.ModExist("__MyMod"));
    w.list = {"__Other", "__MyMod"};
    EXPECT_TRUE(store.ModExist("__mymod"));
    EXPECT_FALSE(store.ModExist("__My"));
    EXPECT_FALSE(store.ModExist(""));
}

}  // namespace
}  // namespace tavrel
