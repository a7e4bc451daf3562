#include <patternkit/RegularExpression.h>

#include <gtest/gtest.h>

#include <vector>

using RE = RegularExpression;

namespace {

template <class E>
std::vector<int> Members(const RE& re, bool (RE::*has)(E) const, int last)
{
    std::vector<int> set;
    for (int o = 0; o <= last; ++o)
        if ((re.*has)(static_cast<E>(o)))
            set.push_back(o);
    return set;
}

std::vector<int> ExpressionSet(const RE& re)
{
    return Members(re, &RE::IsExpressionOption, RE::optPerl);
}
std::vector<int> MatchSet(const RE& re)
{
    return Members(re, &RE::IsMatchOption, RE::matchPartial);
}

// Positive values are added, negative ones (-1 - option) deleted.
struct OptionCase {
    bool fromCleared;
    std::vector<int> steps;
    std::vector<int> expected;
    unsigned long flags;
};

}  // namespace

TEST(OptionSets, ConsistencyRulesAndCompileFlags)
{
    const std::vector<OptionCase> cases = {
        {false, {}, {0, 1, 2, 8, 12, 15}, 0x4507},
        // The bookmark scan's options.
        {true, {RE::optPerl, RE::optICase}, {0, 1, 2, 8, 11, 12, 21}, 0x6507},
        // A preset replaces the previous one and its own flags; unrelated flags stay.
        {false, {RE::optICase, RE::optBasic}, {1, 2, 3, 6, 7, 8, 11, 13}, 0x21CE | 0x400},
        {true, {RE::optAwk, RE::optEmacs}, {6, 7, 8, 9, 16}, 0x3C0 | 0x400},
        {true, {RE::optExtended, RE::optEgrep}, {1, 2, 4, 8, 19}, 0x116 | 0x400},
        // Twins never stand together.
        {false, {RE::optPerl}, {0, 1, 2, 8, 12, 21}, 0x4507},
        {false, {RE::optSed, RE::optBasic}, {1, 2, 3, 6, 7, 8, 13}, 0x1CE | 0x400},
        // Single flags that complete a group mark its preset (and keep a chosen twin).
        {true,
         {RE::optCharClasses, RE::optIntervals, RE::optBkRefs, RE::optLimitedOps, RE::optBkBraces, RE::optBkParens},
         {1, 2, 3, 6, 7, 8, 13},
         0x1CE | 0x400},
        {true, {RE::optBasic, RE::optNewlineAlt}, {1, 2, 3, 4, 6, 7, 8, 18}, 0x1DE | 0x400},
        {true, {RE::optExtended, RE::optEscapeInLists}, {0, 1, 2, 8, 17}, 0x107 | 0x400},
        {true, {RE::optCharClasses, RE::optIntervals, RE::optBkRefs}, {1, 2, 8, 14}, 0x106 | 0x400},
        {true, {RE::optSed, RE::optICase}, {1, 2, 3, 6, 7, 8, 11, 20}, 0x21CE | 0x400},
        {true, {RE::optCharClasses, RE::optBkRefs}, {1, 8}, 0x102 | 0x400},
        {true, {RE::optEgrep, RE::optBkPlusQm}, {1, 2, 4, 5, 8, 19}, 0x136 | 0x400},
        {true, {RE::optLiteral, RE::optICase}, {10, 11}, 0x3000 | 0x400},
        // Deleting a flag drops the preset it belonged to; a preset takes its group.
        {false, {-1 - RE::optCharClasses}, {0, 2, 8, 12}, 0x4105 | 0x400},
        {true, {RE::optPerl, -1 - RE::optEscapeInLists}, {1, 2, 8, 12}, 0x4106 | 0x400},
        {true, {RE::optPerl, RE::optICase, -1 - RE::optICase}, {0, 1, 2, 8, 12, 21}, 0x4507},
        {false, {RE::optICase, -1 - RE::optNormal}, {11}, 0x2400},
        {true, {RE::optGrep, RE::optLiteral, -1 - RE::optGrep}, {10}, 0x1400},
        // Present or absent options change nothing.
        {false, {RE::optNormal, -1 - RE::optLiteral}, {0, 1, 2, 8, 12, 15}, 0x4507},
    };
    for (const OptionCase& c : cases) {
        RE re;
        if (c.fromCleared)
            re.ClearExpressionOptions();
        for (int step : c.steps) {
            if (step >= 0)
                re.AddExpressionOption(static_cast<RE::Options>(step));
            else
                re.DeleteExpressionOption(static_cast<RE::Options>(-1 - step));
        }
        EXPECT_EQ(ExpressionSet(re), c.expected) << ::testing::PrintToString(c.steps);
        EXPECT_EQ(re.CompileFlags(), c.flags) << ::testing::PrintToString(c.steps);
    }
}

TEST(MatchOptions, DefaultAndRestrictingOptionsExcludeEachOther)
{
    RE re;
    EXPECT_EQ(MatchSet(re), (std::vector<int>{0}));
    re.AddMatchOption(RE::matchNotBol);
    EXPECT_EQ(MatchSet(re), (std::vector<int>{1}));
    re.AddMatchOption(RE::matchDefault);
    EXPECT_EQ(MatchSet(re), (std::vector<int>{0}));
    // 9 to 12 live beside matchDefault.
    re.AddMatchOption(RE::matchAny);
    re.AddMatchOption(RE::matchPartial);
    EXPECT_EQ(MatchSet(re), (std::vector<int>{0, 9, 12}));
    re.AddMatchOption(RE::matchNotDotNull);
    EXPECT_EQ(MatchSet(re), (std::vector<int>{8, 9, 12}));
    // Deleting the last restriction brings matchDefault back.
    re.DeleteMatchOption(RE::matchNotDotNull);
    EXPECT_EQ(MatchSet(re), (std::vector<int>{0, 9, 12}));
    re.DeleteMatchOption(RE::matchDefault);
    EXPECT_EQ(MatchSet(re), (std::vector<int>{9, 12}));
    re.ClearMatchOptions();
    EXPECT_TRUE(MatchSet(re).empty());
}

TEST(MatchOptions, FlagsKeepClassicValuesAndPartialOnlyWhereAllowed)
{
    RE re;
    re.ClearMatchOptions();
    for (int m = 1; m <= RE::matchPartial; ++m)
        re.AddMatchOption(static_cast<RE::Matches>(m));
    EXPECT_EQ(re.MatchFlags(false), 0x1CFFu);
    EXPECT_EQ(re.MatchFlags(true), 0x3CFFu);
}
