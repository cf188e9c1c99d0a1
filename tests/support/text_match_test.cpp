#include "text_match.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using Cases = std::vector<std::pair<const char *, const char *>>;

TEST(WildcardMatch, MatchesStarsAndQuestionMarksWithoutRegardToCase)
{
    const Cases matching = {{"*", ""}, {"*a*a", "banana"}, {"??", "éé"}, {"ÉTÉ*", "été 2007.doc"},
        // "*.*" as users know it: also the names without an extension.
        {"*.*", "README"}, {"rapport.*", "RAPPORT"}};
    for (const auto &[pattern, name] : matching)
        EXPECT_TRUE(WildcardMatch(pattern, name)) << pattern << " / " << name;

    const Cases different = {{"*.txt", "a.txt.bak"}, {"?.dat", "xy.dat"}, {"?.dat", ".dat"},
        {"ete*", "été.doc"}, {"", "a"}, {"*.?", "README"}};
    for (const auto &[pattern, name] : different)
        EXPECT_FALSE(WildcardMatch(pattern, name)) << pattern << " / " << name;

    const WildcardFilter filter("*.jpg; *.PNG ;;photo?.*");
    for (const char *name : {"vacances.JPG", "logo.png", "Photo1.tiff", "photo2"})
        EXPECT_TRUE(filter.matches(name)) << name;
    for (const char *name : {"photo10.tiff", "logo.png.bak", ""})
        EXPECT_FALSE(filter.matches(name)) << name;
    EXPECT_FALSE(WildcardFilter(" ; ").matches("a.txt"));
}

TEST(CompareNoCase, FoldsCaseIncludingAccentedLetters)
{
    EXPECT_TRUE(CompareNoCase("Été", "éTÉ") == 0 && EqualsNoCase("ÇA", "ça"));
    EXPECT_FALSE(EqualsNoCase("été", "ete"));
    EXPECT_TRUE(CompareNoCase("abc", "ABD") < 0 && CompareNoCase("ab", "AbC") < 0);
}
