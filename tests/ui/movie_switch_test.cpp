// The start-up movie switch on trees shaped like the game's.
#include <gtest/gtest.h>

#include "fake_window.h"
#include "temp_folder.h"
#include "ui/movie_switch.h"

namespace tavrel {
namespace {

using test::FakeWindow;
using test::Native;
using test::ReadAll;
using test::TempFolder;
using Strings = std::vector<std::string>;

// A second language's movies. On Linux its folder's name differs from the
// first only by letter case, and both are searched; Windows has no two such
// folders, so there it is another language.
std::string SecondMovies() { return test::OnWindows() ? "Data/German/Movies" : "Data/english/Movies"; }

class MovieSwitch : public ::testing::Test {
protected:
    MovieSwitch() {
        t.file("Data/English/Movies/EA_LOGO.BIK", "logo");
        t.file(SecondMovies() + "/sizzle_review.bik", "sizzle");
        t.file("Data/English/Movies/Intro.bik", "intro");
        t.file("Data/English/Movies/ea_logo.txt", "not a movie");
    }
    Strings run(bool disable) {
        w.answers.assign(3, Answer::Ok);
        w.shown.clear();
        ChangeStartUpFiles(w, t.path(), disable);
        w.answers.clear();
        return w.texts();
    }
    TempFolder t;
    FakeWindow w;
};

TEST_F(MovieSwitch, DisablesAndEnablesExactlyTheStartupMovies) {
    EXPECT_EQ(run(true), Strings{"Startup Items Have Been Changed Successfully."});
    EXPECT_EQ(w.shown[0].icon, Icon::Information);
    EXPECT_EQ(t.names("Data/English/Movies"), (Strings{"Intro.bik", "__EA_LOGO.BIK", "ea_logo.txt"}));
    EXPECT_EQ(t.names(SecondMovies()), Strings{"__sizzle_review.bik"});
    EXPECT_EQ(run(true), Strings{"Nothing Found To Change."});

    EXPECT_EQ(run(false), Strings{"Startup Items Have Been Changed Successfully."});
    EXPECT_EQ(t.names("Data/English/Movies"), (Strings{"EA_LOGO.BIK", "Intro.bik", "ea_logo.txt"}));
    EXPECT_EQ(ReadAll(t / (SecondMovies() + "/sizzle_review.bik")), "sizzle");
    EXPECT_EQ(run(false), Strings{"Nothing Found To Change."});
}

TEST_F(MovieSwitch, MatchesByContainmentInAnyCaseAndByFolder) {
    t.file("Data/Movies/new_SIZZLE_REVIEW_2.BIK");
    t.file("Data/EA_Logo Pack/any.bik");
    t.file("Data/sizzle_review/plain.bik");  // a folder name has no such effect
    run(true);
    EXPECT_EQ(t.names("Data/Movies"), Strings{"__new_SIZZLE_REVIEW_2.BIK"});
    EXPECT_EQ(t.names("Data/EA_Logo Pack"), Strings{"__any.bik"});
    EXPECT_EQ(t.names("Data/sizzle_review"), Strings{"plain.bik"});
}

TEST_F(MovieSwitch, EnablingTakesExactlyTwoUnderscores) {
    t.file("Data/Movies/___sizzle_review.bik");
    run(false);
    EXPECT_EQ(t.names("Data/Movies"), Strings{"_sizzle_review.bik"});
}

TEST_F(MovieSwitch, HiddenFilesAndFoldersAreLeftAlone) {
    t.file("Data/.cache/EA_LOGO.bik");
    test::MakeHidden(t / "Data/.cache");
    test::MakeHidden(t.file("Data/Movies/.sizzle_review.bik"));
    run(true);
    EXPECT_EQ(t.names("Data/.cache"), Strings{"EA_LOGO.bik"});
    EXPECT_EQ(t.names("Data/Movies"), Strings{".sizzle_review.bik"});
}

TEST_F(MovieSwitch, AGameFolderWithATrailingSeparatorWorksTheSame) {
    w.answers = {Answer::Ok};
    ChangeStartUpFiles(w, t.path() + Native("/"), true);
    EXPECT_EQ(w.texts(), Strings{"Startup Items Have Been Changed Successfully."});
}

TEST_F(MovieSwitch, NoDataFolderMeansNothingToChange) {
    TempFolder empty;
    w.answers = {Answer::Ok};
    ChangeStartUpFiles(w, empty.path(), true);
    EXPECT_EQ(w.texts(), Strings{"Nothing Found To Change."});
}

TEST_F(MovieSwitch, AFailedRenameIsReportedAndNeverOverwrites) {
    t.file("Data/English/Movies/__EA_LOGO.BIK", "already disabled copy");
    EXPECT_EQ(run(true), (Strings{"Tavrel could not rename these startup items:\n" +
                                      (t / "Data/English/Movies/EA_LOGO.BIK") + " (" +
                                      test::ReasonText(test::Reason::FileExists) + ")",
                                  "Startup Items Have Been Changed Successfully."}));
    EXPECT_EQ(w.shown[0].icon, Icon::Critical);
    EXPECT_EQ(ReadAll(t / "Data/English/Movies/__EA_LOGO.BIK"), "already disabled copy");
    EXPECT_EQ(ReadAll(t / "Data/English/Movies/EA_LOGO.BIK"), "logo");
    EXPECT_EQ(t.names(SecondMovies()), Strings{"__sizzle_review.bik"});  // the others went on

    // Only failures: no claim that there was nothing to change.
    EXPECT_EQ(run(true).size(), 1u);
}

}  // namespace
}  // namespace tavrel
