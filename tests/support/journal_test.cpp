// The journal of changes that belong together: its text, a run that fails
// half-way, and what the next start makes of a journal left at each point.
#include <gtest/gtest.h>


#include "support/journal.h"
#include "support/platform.h"
#include "temp_folder.h"

namespace tavrel {
namespace {

using test::Native;
using test::ReadAll;
using test::TempFolder;
using Files = std::map<std::string, std::string>;

JournalStep Move(const std::string& from, const std::string& to) { return {JournalStep::Rename, Native(from), Native(to)}; }

TEST(JournalText, KeepsEveryNameAndRefusesWhatIsNotWhole) {
    // Names as a Linux folder may hold them: tabs, line ends, "%", "\".
    Journal j;
    j.steps = {Move("a b/c\td.ini", "a b/c\td.ini.tavrel"), {JournalStep::MakeFolder, "", Native("Data/Movies")},
               {JournalStep::RemoveFolder, "", "x%41"}, {JournalStep::Replace, "new\n.bit", "old.big"},
               {JournalStep::Remove, "", "Stürm.bit"}};
    if (!test::OnWindows()) j.steps.push_back(Move("back\\slash", "x"));
    j.removeWhenDone = {Native(".tavrel/stage-1")};
    j.removeWhenUndone = {"y"};
    const std::string text = EncodeJournal(j);
    EXPECT_EQ(DecodeJournal(text), j);
    EXPECT_NE(text.find("Data\\Movies"), std::string::npos);  // "\" between folders on every system

    const std::string whole = EncodeJournal(Journal{{Move("a", "b")}, {}, {}});
    for (const std::string& broken : std::vector<std::string>{whole.substr(0, whole.size() - 4), whole.substr(0, whole.size() - 1),
                                      "tavrel journal 2\nend\n", whole + "rename\ta\tb\n",
                                      "tavrel journal 1\nrename\ta\nend\n", "tavrel journal 1\nfly\ta\nend\n",
                                      "tavrel journal 1\nrename\ta%4\tb\nend\n", "tavrel journal 1\nremove\t\nend\n"}) {
        EXPECT_EQ(DecodeJournal(broken), std::nullopt) << broken;
    }
}

TEST(RunJournal, AFailedStepUndoesThoseTakenAndNamesItsPlace) {
    TempFolder t;
    t.file("game/a", "A");
    t.file("game/b", "B");
    t.file("game/taken", "in the way");
    t.folder("game/stage");
    const Files before = t.files();
    const Journal j{{Move("a", "a2"), {JournalStep::MakeFolder, "", "new"}, {JournalStep::MakeFolder, "", Native("new/deep")},
                     Move("b", "new/deep/b"),
                     Move("a2", "taken")},
                    {},
                    {"stage"}};
    std::size_t failed = 99;
    const Status ran = RunJournal(t / "game", t / "game/journal.txt", j, &failed);
    EXPECT_FALSE(ran.ok());
    EXPECT_EQ(failed, 4u);
    Files after = before;
    EXPECT_EQ(t.files(), after);  // the journal is gone too
    EXPECT_FALSE(PathExists(t / "game/new"));
    EXPECT_FALSE(PathExists(t / "game/stage"));  // made for it, so it goes

    const Journal ok{{Move("a", "x/a")}, {"stage"}, {}};
    t.folder("game/stage");
    t.folder("game/x");
    EXPECT_TRUE(RunJournal(t / "game", t / "game/journal.txt", ok).ok());
    after.erase("game/a");
    after["game/x/a"] = "A";
    EXPECT_EQ(t.files(), after);
    EXPECT_FALSE(PathExists(t / "game/stage"));
}

// A journal left at each point of its steps: the next start takes the rest,
// or, where one cannot be taken, undoes the rest.
TEST(ResumeJournal, FinishesOrUndoesWhateverPointItWasLeftAt) {
    // Set aside "splash", put the mod's one in its place, move "movie" in.
    const Journal j{{Move("splash", "splash.tavrel"), Move("store/splash", "splash"),
                     {JournalStep::MakeFolder, "", "Data"}, Move("store/movie", Native("Data/movie"))},
                    {},
                    {}};
    const Files before = {{"game/splash", "stock"}, {"game/store/splash", "mod"}, {"game/store/movie", "film"}};
    const Files done = {{"game/splash.tavrel", "stock"}, {"game/splash", "mod"}, {"game/Data/movie", "film"}};
    struct Row {
        std::string point;
        Files tree;    // where the kill left it
        Files result;  // what the next start makes of it
    } rows[] = {
        {"before the first step", before, done},
        {"after the set-aside", {{"game/splash.tavrel", "stock"}, {"game/store/splash", "mod"}, {"game/store/movie", "film"}},
         done},
        {"after the companion took the name set aside",
         {{"game/splash.tavrel", "stock"}, {"game/splash", "mod"}, {"game/store/movie", "film"}}, done},
        {"after the last step", done, done},
        {"with a file put in the way since", {{"game/splash.tavrel", "stock"}, {"game/splash", "mod"},
                                              {"game/store/movie", "film"}, {"game/Data/movie", "someone's"}},
         {{"game/splash", "stock"}, {"game/store/splash", "mod"}, {"game/store/movie", "film"},
          {"game/Data/movie", "someone's"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.point);
        TempFolder t;
        for (const auto& [path, bytes] : row.tree) t.file(path, bytes);
        t.folder("game/store");
        ASSERT_TRUE(WriteJournal(t / "game/journal.txt", j).ok());
        EXPECT_TRUE(ResumeJournal(t / "game", t / "game/journal.txt").ok());
        EXPECT_EQ(t.files(), row.result);
        EXPECT_TRUE(ResumeJournal(t / "game", t / "game/journal.txt").ok());  // nothing is left to end
    }
}

}  // namespace
}  // namespace tavrel
