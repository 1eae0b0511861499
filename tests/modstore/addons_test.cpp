// A mod with its patch and add-ons: whatever is on, the game must read what
// it would read from the authors' own files laid into the game folder, and
// switching must give every byte back. The game's reading is played here
// from the folder itself: a loose file first, else the archive that loads
// first.
#include <algorithm>
#include <filesystem>
#include <set>

#include "game/big_archive.h"
#include "game/game_paths.h"
#include "modstore/addons.h"
#include "modstore/store_folder.h"
#include "support/path_rules.h"
#include "support/platform.h"
#include "store_fixture.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::Strings;
using Files = std::map<std::string, std::string>;
using Entries = std::vector<std::pair<std::string, std::string>>;

struct Download {
    std::string name;
    AddOnKind kind = AddOnKind::AddOn;
    std::map<std::string, Entries> archives;  // by the author's name
    Files loose;
    bool on = true;
};

// What the game reads at `key` in `folder`: a loose file, else the last
// entry of the first archive in load order that has the path.
std::optional<std::string> GameReads(const std::string& folder, const std::string& key) {
    std::vector<std::string> archives;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (e.is_regular_file() && IsModName(name)) archives.push_back(name);
    }
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string relative = std::filesystem::relative(e.path(), folder).generic_string();
        if (e.is_regular_file() && !relative.starts_with(".tavrel") && GamePathKey(relative) == key) {
            return ReadAll(e.path().string());
        }
    }
    std::sort(archives.begin(), archives.end(), [](const auto& a, const auto& b) { return LoadsBefore(a, b); });
    for (const std::string& name : archives) {
        std::vector<BigEntry> table;
        if (!ReadBigFile(JoinPath(folder, name), table).ok()) continue;
        for (auto e = table.rbegin(); e != table.rend(); ++e) {
            if (GamePathKey(e->path) == key) return ReadAll(JoinPath(folder, name)).substr(e->offset, e->size);
        }
    }
    return std::nullopt;
}

struct Row {
    const char* name;
    Download base;
    std::vector<Download> addOns;
    std::map<std::string, std::size_t> hidden;  // by add-on: what the window counts
};

const Row kRows[] = {
    {.name = "TheModsLaterHotfixWinsOverAnOlderAddOnWhichWinsOverTheRest",
     .base = {"Contra", {}, {{"!!!!Hotfix.big", {{"Data\\INI\\A.ini", "hotfix"}}},
                             {"Main.big", {{"Data\\INI\\A.ini", "main"}, {"Data\\INI\\B.ini", "main"},
                                           {"Data\\INI\\C.ini", "main"}}}}, {}},
     .addOns = {{"Cameos", {}, {{"!!Cameos.big", {{"data/ini/a.ini", "cameo"}, {"Data\\INI\\B.ini", "cameo"}}}}, {}}},
     .hidden = {{"Cameos", 1}}},
    {.name = "APatchAndAddOnsCountInTheirAuthorsOrder",
     .base = {"Reds", {}, {{"Main.big", {{"Data\\INI\\X.ini", "main"}, {"Data\\INI\\Y.ini", "main"},
                                         {"Data\\INI\\Z.ini", "main"}}},
                           {"Extra.big", {{"Data\\INI\\W.ini", "extra"}}}}, {}},
     .addOns = {{"Hanpatch", AddOnKind::Patch, {{"!!Patch.big", {{"Data\\INI\\X.ini", "patch"}, {"Data\\INI\\Y.ini", "patch"}}}}, {}},
                {"HUD", {}, {{"!!!HUD.big", {{"Data\\INI\\X.ini", "hud"}}}}, {}},
                {"Navy", {}, {{"!Navy.gib", {{"Data\\INI\\Y.ini", "navy"}, {"Data\\INI\\Z.ini", "navy"}}}}, {}},
                {"Unused", {}, {{"!!!!Unused.big", {{"Data\\INI\\W.ini", "unused"}}}}, {}, false}},
     .hidden = {{"Hanpatch", 1}, {"HUD", 0}, {"Navy", 1}}},
    {.name = "LooseFilesBeatArchivesAndTheAddOnsOverTheMods",
     .base = {"Shock", {}, {{"Main.big", {{"Data\\INI\\P.ini", "main"}, {"Data\\INI\\Q.ini", "main"}}}},
              {{"Data/INI/P.ini", "base loose"}}},
     .addOns = {{"Fix", {}, {{"!Fix.big", {{"Data\\INI\\P.ini", "fix"}, {"Data\\INI\\Q.ini", "fix"}}}},
                 {{"Data/INI/Q.ini", "fix loose"}, {"Data/INI/New.ini", "fix new"}}}},
     .hidden = {{"Fix", 1}}},
    {.name = "OneOfTwoFilesAtALoosePathByTheRule",
     .base = {"Rise", {}, {{"Main.big", {{"Data\\INI\\M.ini", "main"}}}},
              {{"Data/Scripts/SkirmishScripts.scb", "base"}, {"Data/Movies/Intro.bik", "base movie"}}},
     .addOns = {{"Bravo", {}, {}, {{"Data/Scripts/SkirmishScripts.scb", "bravo"}}},
                {"Patch", AddOnKind::Patch, {}, {{"Data/Scripts/SkirmishScripts.scb", "patch"},
                                                  {"Data/Movies/Intro.bik", "patch movie"}}},
                {"!Alpha", {}, {}, {{"Data/Scripts/SkirmishScripts.scb", "alpha"}}}},
     .hidden = {{"Alpha", 0}, {"Bravo", 1}, {"Patch", 1}}},
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class AddOnStore : public test::StoreTest {
protected:
    AddOnStore() {
        for (const test::TempFolder* game : {&t, &theirs}) {
            game->file("INIZH.big", test::BigBytes({{"Data\\INI\\A.ini", "game"}, {"Data\\INI\\X.ini", "game"}}));
            game->file("Data/Scripts/SkirmishScripts.scb", "stock skirmish");
        }
    }

    // The download laid out in a folder of its own, as its author ships it.
    std::string lay(const Download& d, const std::string& into) const {
        for (const auto& [name, entries] : d.archives) src.file(into + "/" + name, test::BigBytes(entries));
        for (const auto& [path, bytes] : d.loose) src.file(into + "/" + path, bytes);
        return src / into;
    }

    // Every answer an operation may want: OK, and the checklist all ticked.
    void answerAll(std::size_t archives, const std::string& name = "") {
        w.answers.assign(8, Answer::Ok);
        std::vector<std::size_t> all(archives);
        for (std::size_t i = 0; i < archives; ++i) all[i] = i;
        w.archiveChoices = {ArchiveChoice{all, name}};
    }

    void install(const Row& row) {
        answerAll(row.base.archives.size(), row.base.name);
        ASSERT_TRUE(store.InstallMod(lay(row.base, row.base.name))) << ::testing::PrintToString(w.texts());
        base = "__" + row.base.name;
        for (const Download& d : row.addOns) {
            answerAll(d.archives.size());
            std::string name;
            ASSERT_TRUE(store.InstallAddOn(base, {lay(d, d.name)}, d.kind, d.name, &name))
                << ::testing::PrintToString(w.texts());
            if (d.on) {
                ASSERT_TRUE(store.SwitchAddOn(base, name, true));
            }
        }
    }

    // The game folder as the authors would have it: the game's, the mod's
    // files, then the add-ons' that are on over them, the first by the rule
    // laid last.
    std::string authors(const Row& row) const {
        std::vector<Download> on;
        for (const Download& d : row.addOns) {
            if (d.on) on.push_back(d);
        }
        std::stable_sort(on.begin(), on.end(), [](const Download& a, const Download& b) {
            return AddOnOrder({*AddOnName(b.name), b.kind}, {*AddOnName(a.name), a.kind});
        });
        on.insert(on.begin(), row.base);
        for (const Download& d : on) {
            for (const auto& [name, entries] : d.archives) {
                const std::string big = name.ends_with(".gib") ? name.substr(0, name.size() - 4) + ".big" : name;
                theirs.file(big, test::BigBytes(entries));
            }
            for (const auto& [path, bytes] : d.loose) theirs.file(path, bytes);
        }
        return theirs.path();
    }

    test::TempFolder theirs, src;
    std::string base;
};

class AddOns : public AddOnStore, public ::testing::WithParamInterface<Row> {};

TEST_P(AddOns, TheGameReadsWhatTheAuthorsMadeAndSwitchingGivesEveryByteBack) {
    const Row& row = GetParam();
    install(row);
    ASSERT_FALSE(HasFatalFailure());
    store.UpdateList(true);
    const Files inactive = t.files();

    answerAll(0);
    store.ActivateMod(base);
    ASSERT_EQ(w.active, base) << ::testing::PrintToString(w.texts());
    ASSERT_TRUE(AddOnsPlaced(t.path(), base));
    const std::string layout = authors(row);
    std::set<std::string> keys;
    for (const test::TempFolder* folder : {&t, &theirs}) {
        for (const auto& [path, bytes] : folder->files()) keys.insert(GamePathKey(path));
        for (const auto& e : std::filesystem::directory_iterator(folder->path())) {
            std::vector<BigEntry> table;
            if (ReadBigFile(e.path().string(), table).ok()) {
                for (const BigEntry& b : table) keys.insert(GamePathKey(b.path));
            }
        }
    }
    for (const std::string& key : keys) {
        if (key.starts_with(".tavrel") || key.ends_with(".big") || key.find(".tavrel") != std::string::npos) continue;
        EXPECT_EQ(GameReads(t.path(), key), GameReads(layout, key)) << key;
    }
    for (const AddOnHiding& h : AddOnConflicts(t.path(), base)) {
        EXPECT_EQ(h.hidden, row.hidden.at(h.name)) << h.name << " by " << ::testing::PrintToString(h.by);
    }

    // Off again, by the mod's own deactivation: every file as it was.
    answerAll(0);
    store.DeactivateMod(base);
    EXPECT_EQ(t.files(), inactive);
}

// What a player does over a mod's life: patches swapped, an add-on that
// cannot be served refused, one deleted, the mod switched off by hand, and
// the mod deleted with what is left of them.
TEST_F(AddOnStore, APlayersRoundOfPatchesAndAddOns) {
    const Row row{.name = "",
                  .base = {"Reds", {}, {{"Main.big", {{"Data\\INI\\X.ini", "main"}}},
                                        {"Extra.big", {{"Data\\INI\\W.ini", "extra"}}}}, {}},
                  .addOns = {{"P1", AddOnKind::Patch, {{"!!P1.big", {{"Data\\INI\\X.ini", "p1"}}}}, {}, false},
                             {"P2", AddOnKind::Patch, {{"!!P2.big", {{"Data\\INI\\X.ini", "p2"}}}}, {}, false},
                             {"HUD", {}, {}, {{"Data/INI/H.ini", "hud"}}, false}},
                  .hidden = {}};
    install(row);
    ASSERT_FALSE(HasFatalFailure());
    const Files inactive = t.files();
    answerAll(0);
    store.ActivateMod(base);
    const auto reads = [&](const char* key) { return GameReads(t.path(), key).value_or("<none>"); };
    const auto on = [&] {
        Strings names;
        for (const AddOn& a : ListAddOns(t.path(), base)) {
            if (a.on) names.push_back(a.name);
        }
        return names;
    };
    EXPECT_EQ(reads("data\\ini\\x.ini"), "main");

    EXPECT_TRUE(store.SwitchAddOn(base, "p1", true));
    EXPECT_TRUE(store.SwitchAddOn(base, "HUD", true));
    EXPECT_EQ(reads("data\\ini\\x.ini"), "p1");
    EXPECT_TRUE(store.SwitchAddOn(base, "P2", true));  // one patch at a time
    EXPECT_EQ(on(), (Strings{"HUD", "P2"}));
    EXPECT_EQ(reads("data\\ini\\x.ini"), "p2");
    EXPECT_EQ(reads("data\\ini\\h.ini"), "hud");

    // An archive of the mod's own name would replace the mod's.
    w.shown.clear();
    answerAll(1);
    src.file("Same/Main.big", test::BigBytes({{"Data\\INI\\X.ini", "same"}}));
    EXPECT_FALSE(store.InstallAddOn(base, {src / "Same/Main.big"}, AddOnKind::AddOn));
    ASSERT_EQ(w.texts().size(), 1u);
    EXPECT_NE(w.texts()[0].find("archive Main.big has the name of an archive of MOD __Reds itself"), std::string::npos);
    EXPECT_EQ(ListAddOns(t.path(), base).size(), 3u);

    w.answers = {Answer::Yes, Answer::Ok};
    EXPECT_TRUE(store.DeleteAddOn(base, "P2"));
    EXPECT_EQ(on(), (Strings{"HUD"}));
    EXPECT_EQ(reads("data\\ini\\x.ini"), "main");

    // Switched off by hand: the next start takes the add-ons and the mod's
    // placement back, and they come again with the mod.
    ASSERT_TRUE(RenameNoReplace(t / "__Reds.big", t / "__Reds.bit").ok());
    ASSERT_TRUE(FinishUnfinishedWork(t.path()).ok());
    EXPECT_FALSE(PathExists(t / "Data/INI/H.ini"));
    EXPECT_FALSE(AddOnsPlaced(t.path(), base));
    w.active.clear();
    answerAll(0);
    store.ActivateMod(base);
    EXPECT_EQ(reads("data\\ini\\h.ini"), "hud");
    store.DeactivateMod(base);

    // The mod goes with its add-ons, as the question says.
    store.UpdateList(true);
    select(base);
    w.shown.clear();
    w.answers = {Answer::Yes, Answer::Ok};
    store.lblDelete_Click();
    EXPECT_EQ(w.texts()[0], "Are you sure you want to delete __Reds mod? Its 2 add-ons go with it.");
    EXPECT_FALSE(PathExists(t / ".tavrel/__Reds"));
    EXPECT_EQ(inactive.count("Data/INI/H.ini"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rules, AddOns, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavrel
