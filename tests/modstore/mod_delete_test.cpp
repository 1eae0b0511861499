// "Delete Selected" on real folders.
#include "store_fixture.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::Reason;
using test::ReasonText;
using test::Strings;

class Deletion : public test::StoreTest {
protected:
    void scanAndSelect(const std::string& entry) {
        store.UpdateList(true);
        w.shown.clear();
        select(entry);
    }
};

TEST_F(Deletion, NeedsASelection) {
    t.file("__A.bit");
    store.UpdateList(true);
    markList();
    w.answers = {Answer::Ok};
    store.lblDelete_Click();
    EXPECT_EQ(w.texts(), Strings{"Select a mod to delete!"});
    EXPECT_EQ(w.shown[0].icon, Icon::Critical);
    EXPECT_FALSE(scannedSinceMark());
    EXPECT_EQ(t.names(), Strings{"__A.bit"});
}

TEST_F(Deletion, NoKeepsTheArchive) {
    t.file("__A.bit");
    scanAndSelect("__A");
    markList();
    w.answers = {Answer::No};
    store.lblDelete_Click();
    EXPECT_EQ(w.texts(), Strings{"Are you sure you want to delete __A mod?"});
    EXPECT_EQ(w.shown[0].icon, Icon::Question);
    EXPECT_FALSE(scannedSinceMark());
    EXPECT_EQ(t.names(), Strings{"__A.bit"});
}

TEST_F(Deletion, DeletesExactlyTheInactiveArchive) {
    t.file("__Blue Storm.Final.bit", "inactive");
    t.file("__Blue Storm.Final.big", "active");
    t.file("__Other.bit", "other");
    scanAndSelect("__Blue Storm.Final");
    w.answers = {Answer::Yes, Answer::Ok};
    store.lblDelete_Click();
    EXPECT_EQ(w.texts().back(), "MOD __Blue Storm.Final deleted...");
    EXPECT_EQ(w.shown.back().icon, Icon::Information);
    EXPECT_EQ(t.names(), (Strings{"__Blue Storm.Final.big", "__Other.bit"}));
    EXPECT_EQ(w.list, Strings{"__Other"});
    EXPECT_EQ(w.active, "__Blue Storm.Final");
}

TEST_F(Deletion, FindsTheArchiveWhateverItsLetterCase) {
    t.file("__mod.BIT");
    scanAndSelect("__mod");
    w.answers = {Answer::Yes, Answer::Ok};
    store.lblDelete_Click();
    EXPECT_TRUE(t.names().empty());
}

TEST_F(Deletion, AMissingArchiveIsReportedAndTheListRescanned) {
    t.file("__A.bit");
    scanAndSelect("__A");
    test::RemoveTree(t / "__A.bit");
    w.answers = {Answer::Yes, Answer::Ok};
    store.lblDelete_Click();
    EXPECT_EQ(w.texts().back(),
              "An error occurred while attempting to delete __A MOD (" + ReasonText(Reason::NoSuchFile) + ")");
    EXPECT_EQ(w.shown.back().icon, Icon::Critical);
    EXPECT_TRUE(w.list.empty());
}

TEST_F(Deletion, AReadOnlyArchiveIsRefused) {
    const std::string file = t.file("__A.bit", "kept");
    test::MakeReadOnly(file);
    scanAndSelect("__A");
    w.answers = {Answer::Yes, Answer::Ok};
    store.lblDelete_Click();
    EXPECT_EQ(w.texts().back(),
              "An error occurred while attempting to delete __A MOD (" + ReasonText(Reason::AccessDenied) + ")");
    EXPECT_EQ(ReadAll(file), "kept");
    EXPECT_EQ(w.list, Strings{"__A"});  // rescanned, still there
}

}  // namespace
}  // namespace tavrel
