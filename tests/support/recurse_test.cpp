// The recursive file search on real trees.
#include <gtest/gtest.h>

#include "support/platform.h"
#include "support/recurse.h"
#include "temp_folder.h"

namespace tavrel {
namespace {

using test::Native;
using test::NativePaths;
using test::TempFolder;
using Strings = std::vector<std::string>;

class Search : public ::testing::Test {
protected:
    // Paths relative to the tree's top, for short expectations; they keep
    // the native separators, so expectations go through NativePaths.
    Strings rel(const Strings& paths) const {
        Strings out;
        for (const std::string& p : paths) out.push_back(p.substr(t.path().size() + 1));
        return out;
    }
    TempFolder t;
};

TEST_F(Search, SplitsPatternListsLikeTheGame) {
    t.file("a.bik");
    t.file("b.big");
    t.file("c,d.big");
    t.file("README");
    test::MakeHidden(t.file(".hidden.bik"));
    t.folder("sub.bik");
    EXPECT_EQ(rel(FindFiles(t.path(), "", 0)), (Strings{"a.bik", "b.big", "c,d.big", "README"}));
    EXPECT_EQ(rel(FindFiles(t.path(), "*.*", 0)), rel(FindFiles(t.path(), "", 0)));
    EXPECT_EQ(rel(FindFiles(t.path(), "*.big; *.BIK", 0)), (Strings{"b.big", "c,d.big", "a.bik"}));  // by piece
    EXPECT_EQ(rel(FindFiles(t.path(), "*.bik;c,d.big", 0)), (Strings{"a.bik", "c,d.big"}));        // "," stays
    EXPECT_EQ(rel(FindFiles(t.path(), "*.bik,*.big", 0)), (Strings{"a.bik", "b.big", "c,d.big"}));
    EXPECT_EQ(rel(FindFiles(t.path(), "*.bik|README", 0)), (Strings{"a.bik", "README"}));
    // A trailing separator leaves an empty piece: every file once more.
    EXPECT_EQ(rel(FindFiles(t.path(), "*.bik;", 0)), (Strings{"a.bik", "a.bik", "b.big", "c,d.big", "README"}));
    EXPECT_EQ(rel(FindFiles(t.path(), "*.bik", kAttributeHidden)), (Strings{".hidden.bik", "a.bik"}));
    EXPECT_EQ(rel(FindFiles(t.path(), "*.bik", kAttributeDirectory)), Strings{"a.bik"});  // never folders
}

TEST_F(Search, CleansTheStartFolderAndToleratesMissingOnes) {
    t.file("Data/Movies/a.bik");
    const Strings clean = FindFilesRecursive(t / "Data", "*.bik", 0, kAttributeDirectory);
    ASSERT_EQ(clean, Strings{t / "Data/Movies/a.bik"});
    EXPECT_EQ(FindFilesRecursive(t.path() + Native("//Data//"), "*.bik", 0, kAttributeDirectory), clean);
    EXPECT_TRUE(FindFilesRecursive(t / "missing", "*.bik", 0, kAttributeDirectory).empty());
    EXPECT_TRUE(FindFiles(t / "missing", "*.bik", 0).empty());
    EXPECT_TRUE(FindFilesRecursive(Native("/"), "*.bik", 0, kAttributeDirectory).empty());  // under two characters
}

TEST_F(Search, GoesBreadthFirstWithFilesBeforeSubfolders) {
    t.file("A/top.bik");
    t.file("A/C/c.bik");
    t.file("A/B/b.bik");
    t.file("A/B/D/d.bik");
    t.file("A/B/other.txt");
    t.file("A/.hid/h.bik");
    test::MakeHidden(t / "A/.hid");
    EXPECT_EQ(rel(FindFilesRecursive(t / "A", "*.bik", 0, kAttributeDirectory)),
              NativePaths({"A/top.bik", "A/B/b.bik", "A/C/c.bik", "A/B/D/d.bik"}));
    // A directory flag in the file mask changes nothing; without it in the
    // folder mask it is added.
    EXPECT_EQ(FindFilesRecursive(t / "A", "*.bik", kAttributeDirectory, 0),
              FindFilesRecursive(t / "A", "*.bik", 0, kAttributeDirectory));
    EXPECT_EQ(rel(FindFilesRecursive(t / "A", "*.bik", 0, kAttributeDirectory | kAttributeHidden)),
              NativePaths({"A/top.bik", "A/.hid/h.bik", "A/B/b.bik", "A/C/c.bik", "A/B/D/d.bik"}));
}

TEST_F(Search, EndsOnLinkLoopsAndSearchesEachFolderOnce) {
    t.file("Data/a.bik");
    t.file("Data/Sub/b.bik");
    t.file("Elsewhere/e.bik");
    // back to Data, where this system lets the tests make a link
    if (const std::string why = test::MakeSymlink("..", t / "Data/Sub/up"); !why.empty()) GTEST_SKIP() << why;
    ASSERT_EQ(test::MakeSymlink(t.path(), t / "Data/Sub/top"), "");         // above it
    ASSERT_EQ(test::MakeSymlink("../Elsewhere", t / "Data/Away"), "");      // a linked folder
    ASSERT_EQ(test::MakeSymlink("loop", t / "Data/loop"), "");              // a link to itself
    const Strings found = rel(FindFilesRecursive(t / "Data", "*.bik", 0, kAttributeDirectory));
    EXPECT_EQ(found, NativePaths({"Data/a.bik", "Data/Away/e.bik", "Data/Sub/b.bik"}));
    // Kept within Data, the links that lead out of it are not searched.
    const Strings within = rel(FindFilesRecursive(t / "Data", "*.bik", 0, kAttributeDirectory, *RealPath(t / "Data")));
    EXPECT_EQ(within, NativePaths({"Data/a.bik", "Data/Sub/b.bik"}));
}

}  // namespace
}  // namespace tavrel
