#include <gtest/gtest.h>

#include "support/text.h"
#include "support/wildcard.h"

namespace tavrel {
namespace {

TEST(Text, CountsCodePoints) {
    EXPECT_EQ(CharCount("C:\\"), 3u);
    EXPECT_EQ(CharCount("\xC3\xA9t\xC3\xA9"), 3u);  // été
    EXPECT_EQ(CharCount("\xFF\xFE"), 2u);            // stray bytes count one each
}

TEST(Text, FoldsLettersLikeWindowsNames) {
    EXPECT_TRUE(EqualsNoCase("__MyMod.BIG", "__mymod.big"));
    EXPECT_TRUE(EqualsNoCase("\xC3\x84RGER", "\xC3\xA4rger"));                 // ÄRGER / ärger
    EXPECT_TRUE(EqualsNoCase("\xD0\x9C\xD0\x9E\xD0\x94", "\xD0\xBC\xD0\xBE\xD0\xB4"));  // МОД / мод
    EXPECT_FALSE(EqualsNoCase("__A", "__B"));
    EXPECT_TRUE(ContainsNoCase("Data/English/Movies/ea_logo.bik", "EA_LOGO"));
}

TEST(Text, FoldsEveryScriptOneCharacterToOne) {
    struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"__\u011E.big", "__\u011F.BIG", true},      // Turkish G with breve
        {"\u0531\u0532", "\u0561\u0562", true},     // Armenian
        {"\u10A0", "\u2D00", true},                 // Georgian
        {"\U00010400", "\U00010428", true},         // Deseret: four bytes each
        {"\u1E9E", "\u00DF", true},                 // capital sharp s
        {"\u212A", "k", true},                      // the Kelvin sign is a K
        {"STRASSE", "stra\u00DFe", false},           // never one character to two, as on Windows
        {"\u0130", "i", false},                      // dotted capital I has no simple folding
        {"\xC1\x81", "a", false},                    // an overlong form is no letter
    };
    for (const auto& c : cases) EXPECT_EQ(EqualsNoCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(FoldCase("\xFFMOD\xED\xA0\x80"), "\xFFmod\xED\xA0\x80");  // stray bytes and surrogates stay
    EXPECT_EQ(CharCount("\xED\xA0\x80"), 3u);
}

TEST(Text, SortsWithoutRegardToCaseThenByBytes) {
    EXPECT_TRUE(NameLess("alpha", "Beta"));
    EXPECT_TRUE(NameLess("Beta", "gamma"));
    EXPECT_TRUE(NameLess("ABC", "abc"));  // a tie broken the same way every time
    EXPECT_FALSE(NameLess("abc", "ABC"));
}

TEST(Text, StripsOnlyTheLastExtension) {
    EXPECT_EQ(StripLastExtension("__Blue Storm.Final.bit"), "__Blue Storm.Final");
    EXPECT_EQ(StripLastExtension("Textures"), "Textures");
}

TEST(Wildcard, MatchesLikeAFolderListing) {
    EXPECT_TRUE(WildcardMatch("*.big", "__Mod.BIG"));
    EXPECT_TRUE(WildcardMatch("*.BIG", "__mod.big"));
    EXPECT_FALSE(WildcardMatch("*.big", "__mod.bit"));
    EXPECT_FALSE(WildcardMatch("*.big", "__mod.big.bak"));
    EXPECT_TRUE(WildcardMatch("*.*", "README"));  // also a name without a dot
    EXPECT_TRUE(WildcardMatch("*", ""));
    EXPECT_TRUE(WildcardMatch("mod?.big", "mod1.big"));
    EXPECT_FALSE(WildcardMatch("mod?.big", "mod.big"));
    EXPECT_TRUE(WildcardMatch("mod?.big", "mod\xC3\xA9.big"));  // "?" takes one character, not one byte
    EXPECT_TRUE(WildcardMatch("*sizzle*", "xSIZZLE_review.bik"));
    EXPECT_TRUE(WildcardMatch("a*b*c", "aXXbYYbZc"));
    EXPECT_TRUE(WildcardMatch("*", "*b"));          // a name may hold a '*' (found by the fuzz target)
    EXPECT_TRUE(WildcardMatch("*.bit", "a*b?.bit"));
    EXPECT_TRUE(WildcardMatch("__?.big", "__\xC4\x9E.BIG"));  // "?" is one letter of any script
    EXPECT_TRUE(WildcardMatch("?.big", "\xFF.big"));          // or one stray byte
    EXPECT_FALSE(WildcardMatch("\xC3.big", "\xC3\xA9.big"));  // a stray byte is not the start of a letter
    EXPECT_FALSE(WildcardMatch("a*b*c", "aXXbYY"));
    // One star between plain text: the head and the tail may not overlap.
    EXPECT_TRUE(WildcardMatch("__*.big", "__.BIG"));
    EXPECT_FALSE(WildcardMatch("__*.big", "_.big"));
    EXPECT_FALSE(WildcardMatch("__*.big", "__big"));
    EXPECT_TRUE(WildcardMatch("*.big", "\xC3.big"));  // a stray byte before the tail
}

}  // namespace
}  // namespace tavrel
