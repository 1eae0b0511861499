// Which of a mod's files the game reads out of archives, which only from its
// own folder, and the names it never reads.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "game/game_paths.h"

namespace tavrel {
namespace {

TEST(GamePaths, TellWhatTheGameReadsFromWhere) {
    const struct {
        const char* path;
        LooseKind kind;
    } rows[] = {
        {"Data\\INI\\GameData.ini", LooseKind::GameFile},
        {"art/textures/a.dds", LooseKind::GameFile},
        {"MAPS\\m\\m.map", LooseKind::GameFile},
        {"Data\\English\\Movies\\ROTR_Intro.bik", LooseKind::Companion},
        {"data\\movies\\X.BIK", LooseKind::Companion},
        {"Install_Final.bmp", LooseKind::Companion},
        {"install_final.BMP", LooseKind::Companion},
        {"Data\\Install_Final.bmp", LooseKind::GameFile},
        {"Data\\Scripts\\SkirmishScripts.scb", LooseKind::Both},
        {"data/scripts/scripts.ini", LooseKind::Both},
        {"Data\\Scripts\\Other\\x.scb", LooseKind::GameFile},
        {"Data\\Scripts\\notes.txt", LooseKind::GameFile},
        {"Launcher.exe", LooseKind::LeftOut},
        {"Data\\d3d8.dll", LooseKind::LeftOut},
        {"Data\\plugin.asi", LooseKind::LeftOut},
        {"readme.txt", LooseKind::LeftOut},
        {"Intro.bik", LooseKind::LeftOut},  // not where the game looks
        {"screens\\shot.jpg", LooseKind::LeftOut},
        {"Data\\mods.zip", LooseKind::LeftOut},
    };
    for (const auto& row : rows) EXPECT_EQ(ClassifyModFile(row.path), row.kind) << row.path;

    // Windows matches "*.scb" against 8.3 names as well: a set-aside name's
    // extension starts with no extension the game lists.
    for (int attempt : {1, 2, 10}) {
        const std::string aside = SetAsideName("SkirmishScripts.scb", attempt);
        EXPECT_TRUE(aside.starts_with("SkirmishScripts.scb.")) << aside;
        const std::string short3 = aside.substr(aside.rfind('.') + 1, 3);
        for (const char* listed : {"big", "bik", "scb", "ini", "map", "str", "csf", "w3d", "tga", "dds", "wav", "bmp"}) {
            EXPECT_NE(short3, listed) << aside;
        }
    }
    EXPECT_NE(SetAsideName("a.ini", 1), SetAsideName("a.ini", 2));
    EXPECT_EQ(CleanGamePath("./Data//../INI\\a:b.ini"), "Data\\INI\\a_b.ini");
}

// An add-on's archives, named for the game folder, load as their authors
// meant among themselves, and all before their mod's own.
TEST(GamePaths, AddOnArchivesLoadInTheirAuthorsOrderBeforeTheMod) {
    const char* const byAuthors[] = {"!!!!!!!!!ContraX_ControlBarPro.big", "!!!!Contra_Hotfix.gib", "!!Contra_Cameos.big",
                                     "!Patch 2.big", "0Language.big", "_Hud.big", "Zz.big"};
    for (std::size_t i = 0; i < std::size(byAuthors); ++i) {
        const std::string name = AddOnArchiveName(byAuthors[i]);
        EXPECT_TRUE(IsAddOnArchiveName(name)) << name;
        EXPECT_TRUE(name.ends_with(".big")) << name;
        EXPECT_FALSE(name.starts_with("__")) << name;
        for (const char* mod : {"__A.big", "__!.big", "__ 0.big"}) EXPECT_TRUE(LoadsBefore(name, mod)) << name << mod;
        if (i > 0) {
            EXPECT_TRUE(LoadsBefore(AddOnArchiveName(byAuthors[i - 1]), name)) << name;
        }
    }
    for (const char* other : {"__Storm.big", "_!.big", "!x.big", "INIZH.big", "_!x.bit"}) {
        EXPECT_FALSE(IsAddOnArchiveName(other)) << other;
    }
}

}  // namespace
}  // namespace tavrel
