// What the file chooser and the folder browser are asked, and what is made
// of their answers.
#include <gtest/gtest.h>

#include <filesystem>

#include "fake_window.h"
#include "test_platform.h"

namespace tavrel {
namespace {

using test::FakeWindow;
using test::Native;

TEST(SplitFilter, PairsEntriesAtBarsAndColons) {
    const auto two = SplitFilter("Mods (*.big)|*.big|Inactive (*.bit)|*.bit");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].description, "Mods (*.big)");
    EXPECT_EQ(two[0].pattern, "*.big");
    EXPECT_EQ(two[1].pattern, "*.bit");
    const auto colon = SplitFilter("Mods:*.big");
    ASSERT_EQ(colon.size(), 1u);
    EXPECT_EQ(colon[0].pattern, "*.big");
}

TEST(ShowFileDialog, FillsInDefaultsAndTheExtension) {
    FakeWindow w;
    w.fileChoices = {Native("/games/newmod"), Native("/games/v1.2/mod.big"), Native("/games/v1.2/mod")};
    EXPECT_EQ(ShowOpenFile(w, "", "", "", "big", ""), Native("/games/newmod.big"));  // a typed name without extension
    const FileDialogRequest& first = w.fileRequests[0];
    EXPECT_FALSE(first.saveMode);
    ASSERT_EQ(first.filters.size(), 1u);
    EXPECT_EQ(first.filters[0].description, "All Files (*.*)");
    EXPECT_EQ(first.filters[0].pattern, "*.*");
    EXPECT_EQ(first.selectedFilter, 0u);
    EXPECT_EQ(first.title, "Select File...");
    EXPECT_EQ(first.initialDir, std::filesystem::current_path().string());

    EXPECT_EQ(ShowFileDialog(w, true, "Mods|*.big", "", "Save", "big", "/games"), Native("/games/v1.2/mod.big"));
    EXPECT_TRUE(w.fileRequests[1].saveMode);
    EXPECT_EQ(w.fileRequests[1].title, "Save");
    EXPECT_EQ(w.fileRequests[1].initialDir, "/games");
    EXPECT_EQ(ShowOpenFile(w, "", "", "", "big", ""), Native("/games/v1.2/mod.big"));  // a dot in a folder is no extension
}

TEST(ShowFileDialog, NothingChosenGivesTheDefaultResultExactly) {
    FakeWindow w;
    w.fileChoices = {std::nullopt, std::string()};
    EXPECT_EQ(ShowOpenFile(w, "", " keep me ", "", "big", ""), " keep me ");
    EXPECT_EQ(ShowOpenFile(w, "", "", "", "big", ""), "");
}

TEST(BrowseForFolder, PassesTheStartFolderAndFlags) {
    FakeWindow w;
    w.folderChoices = {std::string("/games/Generals/"), std::nullopt, std::string("/x")};
    EXPECT_EQ(BrowseForFolder(w, "Pick", "/start/", 0), "/games/Generals/");  // returned as given
    EXPECT_EQ(w.folderRequests[0].startFolder, "/start/");
    EXPECT_EQ(w.folderRequests[0].flags, 70);
    EXPECT_EQ(w.folderRequests[0].title, "Pick");
    EXPECT_EQ(BrowseForFolder(w, "Pick", "", 1), "");
    EXPECT_EQ(w.folderRequests[1].flags, 1);
    EXPECT_EQ(w.folderRequests[1].startFolder, std::filesystem::current_path().string());
    EXPECT_EQ(BrowseForFolder(w, "Pick", "/a", 0), "/x");
}

}  // namespace
}  // namespace tavrel
