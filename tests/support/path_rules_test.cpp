// The path rules with the Windows separator and with the Linux one: each
// example is written for '\' and replayed with '/'.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/path_rules.h"

namespace tavrel {
namespace {

class PathRules : public ::testing::TestWithParam<char> {
protected:
    char sep() const { return GetParam(); }
    // The example as written for Windows, with this run's separator.
    std::string P(std::string text) const {
        std::replace(text.begin(), text.end(), '\\', sep());
        return text;
    }
};

INSTANTIATE_TEST_SUITE_P(Separators, PathRules, ::testing::Values('\\', '/'),
                         [](const auto& info) { return info.param == '\\' ? "Backslash" : "Slash"; });

TEST_P(PathRules, CleanPath) {
    EXPECT_EQ(FileCleanPath(P("C:\\"), sep()), "C:");
    EXPECT_EQ(FileCleanPath(P("D:\\Games\\Generals\\\\"), sep()), P("D:\\Games\\Generals"));
    EXPECT_EQ(FileCleanPath(P("D:\\Games\\Generals\\\\\\"), sep()), P("D:\\Games\\Generals"));
    EXPECT_EQ(FileCleanPath(P("C\\"), sep()), P("C\\"));  // two characters stay
    EXPECT_EQ(FileCleanPath(P("\\\\server\\\\share"), sep()), P("\\\\server\\share"));
    EXPECT_EQ(FileCleanPath(P("C:\\a\\\\\\\\b"), sep()), P("C:\\a\\\\b"));    // run of four becomes two
    EXPECT_EQ(FileCleanPath(P("C:\\a\\\\\\b"), sep()), P("C:\\a\\\\b"));      // run of three becomes two
    EXPECT_EQ(FileCleanPath(P("C\\\\games"), sep()), P("C\\\\games"));        // pair at the second character
    EXPECT_EQ(FileCleanPath("", sep()), "");
    EXPECT_EQ(FileCleanPath(P("C:\\Games\\Generals"), sep()), P("C:\\Games\\Generals"));
    EXPECT_EQ(FileCleanPath(P("\\\\\\\\"), sep()), P("\\\\"));  // trims to two, nothing more
}

TEST_P(PathRules, GetFolder) {
    EXPECT_EQ(FileGetFolder(P("C:\\Games\\mod.big"), sep()), P("C:\\Games"));
    EXPECT_EQ(FileGetFolder(P("C:\\Games\\\\"), sep()), P("C:\\Games"));
    EXPECT_EQ(FileGetFolder(P("C:\\"), sep()), "C:");
    EXPECT_EQ(FileGetFolder("mod.big", sep()), "mod.big");
    EXPECT_EQ(FileGetFolder(P("\\mod.big"), sep()), "");
    EXPECT_EQ(FileGetFolder(P("\\\\\\"), sep()), "");
    EXPECT_EQ(FileGetFolder(P("C\\"), sep()), "C");  // two characters: cut at the separator
    EXPECT_EQ(FileGetFolder("", sep()), "");
}

TEST_P(PathRules, GetName) {
    EXPECT_EQ(FileGetName(P("C:\\Games\\"), sep()), "");
    EXPECT_EQ(FileGetName("mod.big", sep()), "mod.big");
    EXPECT_EQ(FileGetName(P("\\mod.big"), sep()), "mod.big");
    EXPECT_EQ(FileGetName(P("C:\\Games\\__My Mod.big"), sep()), "__My Mod.big");
    EXPECT_EQ(FileGetName("", sep()), "");
}

TEST_P(PathRules, ChangeExt) {
    EXPECT_EQ(FileChangeExt("__Blue Storm.Final.big", ".bit", sep()), "__Blue Storm.Final.bit");
    EXPECT_EQ(FileChangeExt("mod.big", "bit", sep()), "mod.bit");
    EXPECT_EQ(FileChangeExt("mod.big", "", sep()), "mod");
    EXPECT_EQ(FileChangeExt("mod", ".bit", sep()), "mod.bit");
    EXPECT_EQ(FileChangeExt(".big", ".bit", sep()), ".bit");  // begins with its only dot
    EXPECT_EQ(FileChangeExt("mod.big", ".", sep()), "mod.");
    EXPECT_EQ(FileChangeExt(P("C:\\Games\\mod.big"), ".bit", sep()), P("C:\\Games\\mod.bit"));
    EXPECT_EQ(FileChangeExt(P("C:\\My.Games\\"), ".bit", sep()), P("C:\\My.bit"));  // not split
    EXPECT_EQ(FileChangeExt(P("C:\\My.Games\\mod"), "bit", sep()), P("C:\\My.Games\\mod.bit"));
    EXPECT_EQ(FileChangeExt("", "bit", sep()), ".bit");
    EXPECT_EQ(FileChangeExt("", "", sep()), "");
}

TEST_P(PathRules, ParentFolder) {
    EXPECT_EQ(ParentFolder(P("C:\\Games\\mod.big"), sep()), P("C:\\Games"));
    EXPECT_EQ(ParentFolder(P("\\mod.big"), sep()), P("\\"));  // at the root
    EXPECT_EQ(ParentFolder("mod.big", sep()), ".");
}

TEST_P(PathRules, InsideFolder) {
    EXPECT_TRUE(IsInsideFolder(P("C:\\Games\\Generals"), P("C:\\Games\\Generals\\Data\\x.bik"), sep()));
    EXPECT_TRUE(IsInsideFolder(P("C:\\Games\\Generals"), P("C:\\Games\\Generals"), sep()));
    EXPECT_FALSE(IsInsideFolder(P("C:\\Games\\Generals"), P("C:\\Games\\Generals Zero Hour\\Data"), sep()));
    EXPECT_FALSE(IsInsideFolder(P("C:\\Games\\Generals"), P("C:\\Games"), sep()));
    EXPECT_TRUE(IsInsideFolder(P("C:\\"), P("C:\\Games"), sep()));  // a root ends with its separator
    EXPECT_FALSE(IsInsideFolder("", P("\\x"), sep()));
}

TEST(PathRulesNative, OtherSeparatorIsAnOrdinaryCharacter) {
    EXPECT_EQ(FileGetName("C:\\Games\\mod.big", '/'), "C:\\Games\\mod.big");
    EXPECT_EQ(FileCleanPath("/home/me/Games\\\\", '/'), "/home/me/Games\\\\");
    EXPECT_EQ(FileCleanPath("/home//me/", '/'), "/home/me");
    EXPECT_EQ(FileCleanPath("/", '/'), "/");
}

TEST(PathRulesNative, CountsCharactersNotBytes) {
    // "é" is two bytes: a two-character text keeps its trailing separator.
    EXPECT_EQ(FileCleanPath("\xC3\xA9/", '/'), "\xC3\xA9/");
    EXPECT_EQ(FileCleanPath("\xC3\xA9//x", '/'), "\xC3\xA9//x");  // the pair starts at the second character
}

}  // namespace
}  // namespace tavrel
