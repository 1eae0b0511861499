// Mods of several archives and loose files: which file the game would read
// for each path, the one archive the install makes of them, and the files
// that hide an active mod's.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "modstore/mod_activation.h"
#include "modstore/mod_merge.h"
#include "store_fixture.h"

namespace tavrel {
namespace {

using test::BigBytes;
using test::Native;
using test::ReadAll;
using test::Strings;
using test::TempFolder;
using Resolved = std::map<std::string, std::string>;  // path key -> what the game reads

std::string CopyError(const std::string& reason) {
    return "An error occurred while attempting to copy the new MOD to your Generals folder! Please ensure that the "
           "MOD is a valid .big file that is not in use, and that the path to your Generals folder is valid. (" +
           reason + ")";
}

// What the game reads from an archive on disk, path by path, through the
// header as the game takes it.
Resolved ReadBack(const std::string& path) {
    const std::string bytes = ReadAll(path);
    const auto be = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes.at(at + i));
        return v;
    };
    Resolved out;
    EXPECT_EQ(bytes.substr(0, 4), "BIGF");
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i) size = size << 8 | static_cast<unsigned char>(bytes.at(4 + static_cast<std::size_t>(i)));
    EXPECT_EQ(size, bytes.size());
    std::size_t at = 16;
    for (std::uint32_t n = be(8); n > 0; --n) {
        const std::uint32_t offset = be(at), length = be(at + 4);
        const std::string name(bytes.c_str() + at + 8);
        at += 9 + name.size();
        EXPECT_TRUE(out.emplace(GamePathKey(name), bytes.substr(offset, length)).second) << "twice: " << name;
        EXPECT_LT(offset + std::uint64_t{length}, std::uint64_t{1} << 31);
    }
    EXPECT_LE(at, be(12));
    return out;
}

// The precedence of the game's file system, as one table: every row lists
// the inputs (archives by their path, or a loose file) and what the game
// must read for each path.
struct Precedence {
    const char* rule;
    std::vector<MergeInput> inputs;
    Resolved expected;  // path key -> "input path@offset"
};

Resolved Resolve(const MergePlan& plan, const std::vector<MergeInput>& inputs) {
    Resolved out;
    for (const BigWriteEntry& e : plan.entries) {
        std::uint64_t at = 0;
        for (const MergeRun& run : plan.runs) {
            if (e.size > 0 && e.offset >= at && e.offset + e.size <= at + run.size) {
                out[GamePathKey(e.path)] = inputs[run.input].path + "@" + std::to_string(run.offset + e.offset - at);
            }
            at += run.size;
        }
        EXPECT_LE(e.offset + e.size, plan.dataSize) << e.path;
    }
    return out;
}

TEST(MergePlan, ReadsWhatTheGameWouldRead) {
    const auto archive = [](std::string path, std::vector<BigEntry> table) {
        return MergeInput{std::move(path), false, std::move(table)};
    };
    const auto loose = [](std::string path) { return MergeInput{path, true, {{path, 0, 4}}}; };
    const Precedence rows[] = {
        {"a loose file beats every archive",
         {archive("!First.big", {{"Data\\x.ini", 0, 4}}), loose("Data\\x.ini")},
         {{"data\\x.ini", "Data\\x.ini@0"}}},
        {"archives load by their names, not as they come",
         {archive("b.big", {{"x", 0, 4}}), archive("_a.big", {{"x", 4, 4}}), archive("0.big", {{"x", 8, 4}}),
          archive("!z.big", {{"x", 12, 4}}), archive(" z.big", {{"x", 16, 4}})},
         {{"x", " z.big@16"}}},
        {"names compare without regard to case",
         {archive("B.big", {{"x", 0, 4}}), archive("a.big", {{"x", 4, 4}})},
         {{"x", "a.big@4"}}},
        {"a folder's archives after the root's that sort before it",
         {archive("Patch\\a.big", {{"x", 0, 4}}), archive("!b.big", {{"x", 4, 4}})},
         {{"x", "!b.big@4"}}},
        {"inside one archive the last entry wins; case and separators do not matter",
         {archive("m.big", {{"Data/INI/X.ini", 0, 4}, {"data\\ini\\x.INI", 8, 4}, {"y", 4, 4}})},
         {{"data\\ini\\x.ini", "m.big@8"}, {"y", "m.big@4"}}},
        {"empty parts of a path count for nothing, as the game splits on both separators",
         {archive("!B.big", {{"Data\\INI\\P.ini", 0, 4}, {"Data\\INI\\Lead.ini", 4, 4}}),
          archive("!A.big", {{"Data//INI/P.ini", 8, 4}, {"\\Data\\INI\\Lead.ini", 12, 4}})},
         {{"data\\ini\\p.ini", "!A.big@8"}, {"data\\ini\\lead.ini", "!A.big@12"}}},
        {"entries that share bytes are written once",
         {archive("m.big", {{"a", 0, 10}, {"b", 5, 10}, {"c", 30, 2}})},
         {{"a", "m.big@0"}, {"b", "m.big@5"}, {"c", "m.big@30"}}},
    };
    for (const Precedence& row : rows) {
        SCOPED_TRACE(row.rule);
        const MergePlan plan = PlanMerge(row.inputs);
        EXPECT_EQ(Resolve(plan, row.inputs), row.expected);
        EXPECT_EQ(plan.entries.size(), row.expected.size());
        ASSERT_EQ(plan.origins.size(), plan.entries.size());
        const Resolved read = Resolve(plan, row.inputs);
        for (std::size_t e = 0; e < plan.entries.size(); ++e) {  // the origin is where the bytes come from
            EXPECT_TRUE(read.at(GamePathKey(plan.entries[e].path)).starts_with(row.inputs[plan.origins[e]].path + "@"));
        }
    }
    const MergePlan shared = PlanMerge(rows[6].inputs);
    EXPECT_EQ(shared.dataSize, 17u);  // 0..15 and 30..32
}

TEST(MergedModName, IsAFileNameTheGameFolderCanHold) {
    EXPECT_EQ(MergedModName("Rise of the Reds 1.87"), "__Rise of the Reds 1.87.bit");
    EXPECT_EQ(MergedModName("  __Reds  "), "__Reds.bit");
    EXPECT_EQ(MergedModName("a/b\\c:d*e?.. "), "__a_b_c_d_e_.bit");
    EXPECT_EQ(MergedModName("_ _"), std::nullopt);
    EXPECT_EQ(MergedModName(""), std::nullopt);
}

class MergeInstall : public test::StoreTest {
protected:
    std::string made = test::TestArchives();
    TempFolder downloads;
};

// What the game reads from the made mod "Reds 1.0" (tests/archives/).
const Resolved kReds = {
    {"data\\ini\\weapon.ini", "main weapon"},    // "!!" loads before "!" and before a subfolder
    {"art\\textures\\a.dds", "main a"},
    {"data\\ini\\armor.ini", "main armor new"},  // the later entry of one archive
    {"art\\textures\\b.dds", "loose b"},         // a loose file beats the archives
    {"data\\ini\\gamedata.ini", "loose gamedata"},
    {"maps\\m.map", "fix map"},
    {"data\\scripts\\skirmishscripts.scb", "main scripts"},  // "!!" again
};

TEST_F(MergeInstall, AModAsShippedBecomesOneArchive) {
    if (made.empty()) GTEST_SKIP() << "no test archives: ctest makes them";
    const std::string reds = made + Native("/Reds 1.0");
    const Strings archives{"!!Reds_Main.gib", "!Reds_Art.big", "Reds_Fix.big"};
    struct Row {
        Strings sources;
        std::string name, shown;
        std::string leftOut;
    } rows[] = {
        {{made + Native("/Reds 1.0.zip")}, "Reds 1.0", "Reds 1.0.zip",
         "Read me first.txt, Reds 1.0\\Readme.txt, Reds 1.0\\Reds.exe."},
        {{made + Native("/Reds 1.0.7z")}, "Reds 1.0", "Reds 1.0.7z", ""},
        {{reds}, "Reds 1.0", "Reds 1.0", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shown);
        for (const std::string& name : t.names()) test::RemoveTree(t / name);
        w.shown.clear();
        w.answers = {Answer::No};
        w.archiveChoices = {ArchiveChoice{{0, 1, 2}, row.name}};
        ASSERT_TRUE(store.InstallMod(row.sources));
        EXPECT_EQ(w.archivesShown.back(), archives);
        EXPECT_EQ(w.namesShown.back(), row.name);
        EXPECT_EQ(t.names(), (Strings{".tavrel", "__Reds 1.0.bit"}));
        EXPECT_EQ(ReadBack(t / "__Reds 1.0.bit"), kReds);
        // What the game reads only from its folder is kept beside the mod:
        // the winning script too, which stays in the archive as well.
        const std::string kept = t / ".tavrel/__Reds 1.0/";
        EXPECT_EQ(ReadAll(kept + Native("Data/Movies/Intro.bik")), "movie");
        EXPECT_EQ(ReadAll(kept + "Install_Final.bmp"), "splash");
        EXPECT_EQ(ReadAll(kept + Native("Data/Scripts/SkirmishScripts.scb")), "main scripts");
        ASSERT_EQ(w.texts().size(), 1u);
        const std::string told = w.texts()[0];
        EXPECT_TRUE(told.starts_with("MOD (" + row.shown + ") has been successfully installed. Tavrel has renamed "
                                     "the MOD to __Reds 1.0.bit\r\n\r\nKept beside the MOD, put in place while it "
                                     "is active: ")) << told;
        for (const char* name : {"Data\\Movies\\Intro.bik", "Install_Final.bmp", "Data\\Scripts\\SkirmishScripts.scb"}) {
            EXPECT_NE(told.find(name), std::string::npos) << told;
        }
        if (!row.leftOut.empty()) {
            EXPECT_NE(told.find("\r\n\r\nLeft out, as the game does not read them: " + row.leftOut),
                      std::string::npos) << ::testing::PrintToString(told);
        }
    }

    // Archives picked together have no loose files: the ones ticked, named
    // as the user says; one ticked alone goes in as it is.
    w.archiveChoices = {ArchiveChoice{{1, 2}, " Reds Art "}, ArchiveChoice{{2}, "ignored"}};
    w.answers = {Answer::No, Answer::No};
    const Strings picked{reds + Native("/Patch/Reds_Fix.big"), reds + Native("/!Reds_Art.big"),
                         reds + Native("/!!Reds_Main.gib")};
    ASSERT_TRUE(store.InstallMod(picked));
    EXPECT_EQ(w.namesShown.back(), "Reds_Fix");  // the first file's name
    EXPECT_EQ(ReadBack(t / "__Reds Art.bit"), (Resolved{{"art\\textures\\a.dds", "art a"},
                                                        {"art\\textures\\b.dds", "art b"},
                                                        {"data\\ini\\weapon.ini", "art weapon"},
                                                        {"data\\scripts\\skirmishscripts.scb", "art scripts"},
                                                        {"maps\\m.map", "fix map"}}));
    ASSERT_TRUE(store.InstallMod(picked));
    EXPECT_EQ(ReadAll(t / "__Reds_Fix.bit"), ReadAll(reds + Native("/Patch/Reds_Fix.big")));
}

TEST_F(MergeInstall, RefusalsWriteNothingAndNameTheMember) {
    if (made.empty()) GTEST_SKIP() << "no test archives: ctest makes them";
    // Two archives whose tables are sound but whose bytes pass 2 GiB
    // together: sparse files, so the test writes next to nothing.
    std::vector<std::string> huge;
    for (const char* name : {"A.big", "B.big"}) {
        const std::string path = downloads.file(name, BigBytes({{name, "x"}}));
        std::string bytes = ReadAll(path);
        const std::uint32_t size = (std::uint32_t{1} << 30) + 100;
        for (int i = 0; i < 4; ++i) bytes[20 + static_cast<std::size_t>(i)] = static_cast<char>(size >> (24 - 8 * i));
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        std::filesystem::resize_file(path, std::uint64_t{size} + 64);
        huge.push_back(path);
    }
    struct Row {
        Strings sources;
        std::string why;
    } rows[] = {
        {{made + Native("/notbig.zip")}, "!A.big: " + std::string(kNotBigArchive)},
        {{made + Native("/lying.zip")}, "!A.big: " + std::string(kBigTableDamaged)},
        {huge, kBigTooLarge},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        w.shown.clear();
        w.archiveChoices = {ArchiveChoice{{0, 1}, "Mod"}};
        w.answers = {Answer::Ok};
        EXPECT_FALSE(store.InstallMod(row.sources));
        EXPECT_EQ(w.texts(), Strings{CopyError(row.why)});
        EXPECT_TRUE(t.names().empty()) << ::testing::PrintToString(t.names());
        EXPECT_TRUE(w.progress.texts.empty());  // refused before the copy began
    }
}

TEST_F(MergeInstall, ActivationTellsWhatHidesTheModsFilesAndWhatWasSetAside) {
    t.file("__Mod.bit", BigBytes({{"Data\\INI\\Weapon.ini", "mod"}, {"Data\\INI\\Armor.ini", "mod"},
                                  {"Data\\INI\\Own.ini", "mod"}, {"Maps\\m.map", "mod"}}));
    t.file("600_Patch.big", BigBytes({{"data/ini/WEAPON.ini", "patch"}, {"Maps\\m.map", "patch"}}));
    t.file("INIZH.big", BigBytes({{"Data\\INI\\Own.ini", "game"}}));  // loads after the mod
    t.file("data/INI/armor.ini", "loose");
    store.UpdateList(true);
    select("__Mod");
    w.answers = {Answer::Yes, Answer::Ok, Answer::Ok};
    store.lblActivate_Click();
    ASSERT_EQ(w.texts().size(), 3u);
    // The loose file is set aside; the archive that loads first cannot be.
    EXPECT_EQ(w.texts()[2],
              "Some files of MOD __Mod are hidden: the game loads these files first and uses what they hold "
              "instead:\r\n600_Patch.big hides 2 files\r\n\r\nSet aside while MOD __Mod is active, so that the "
              "game reads the MOD's own: data\\INI\\armor.ini.");
    EXPECT_EQ(w.shown[2].icon, Icon::Exclamation);
    EXPECT_EQ(ReadAll(t / "data/INI/armor.ini.tavrel"), "loose");
}

}  // namespace
}  // namespace tavrel
