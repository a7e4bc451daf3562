#include <patternkit/RegularExpression.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

using RE = RegularExpression;

namespace {

std::vector<int> ExpressionOptions(const RE& re)
{
    std::vector<int> set;
    for (int o = 0; o <= RE::optPerl; ++o)
        if (re.IsExpressionOption(static_cast<RE::Options>(o)))
            set.push_back(o);
    return set;
}

std::vector<int> MatchOptions(const RE& re)
{
    std::vector<int> set;
    for (int o = 0; o <= RE::matchPartial; ++o)
        if (re.IsMatchOption(static_cast<RE::Matches>(o)))
            set.push_back(o);
    return set;
}

RE Cleared(std::initializer_list<RE::Options> added)
{
    RE re;
    re.ClearExpressionOptions();
    for (RE::Options o : added)
        re.AddExpressionOption(o);
    return re;
}

} // namespace

TEST(OptionSets, NewObjectHoldsNormalPresetAndMatchDefault)
{
    RE re;
    EXPECT_EQ(ExpressionOptions(re), (std::vector<int>{0, 1, 2, 8, 12, 15}));
    EXPECT_EQ(MatchOptions(re), (std::vector<int>{0}));
    EXPECT_EQ(re.CompileFlags(), 0x4507u);
    EXPECT_EQ(re.MatchFlags(true), 0u);
}

TEST(OptionSets, PerlWithCaseFoldingAsTheBookmarkScanUsesIt)
{
    RE re = Cleared({RE::optPerl, RE::optICase});
    EXPECT_EQ(ExpressionOptions(re), (std::vector<int>{0, 1, 2, 8, 11, 12, 21}));
    EXPECT_EQ(re.CompileFlags(), 0x6507u);
}

TEST(OptionSets, AddingAPresetReplacesThePreviousOneAndItsOwnFlags)
{
    RE re;
    re.AddExpressionOption(RE::optICase);
    re.AddExpressionOption(RE::optBasic);
    // Flags outside every group (icase) are never touched.
    EXPECT_EQ(ExpressionOptions(re), (std::vector<int>{1, 2, 3, 6, 7, 8, 11, 13}));

    RE emacs = Cleared({RE::optAwk, RE::optEmacs});
    EXPECT_EQ(ExpressionOptions(emacs), (std::vector<int>{6, 7, 8, 9, 16}));

    RE egrep = Cleared({RE::optExtended, RE::optEgrep});
    EXPECT_EQ(ExpressionOptions(egrep), (std::vector<int>{1, 2, 4, 8, 19}));
}

TEST(OptionSets, TwinsNeverStandTogether)
{
    RE re;
    re.AddExpressionOption(RE::optPerl);
    EXPECT_TRUE(re.IsExpressionOption(RE::optPerl));
    EXPECT_FALSE(re.IsExpressionOption(RE::optNormal));
    re.AddExpressionOption(RE::optSed);
    re.AddExpressionOption(RE::optBasic);
    EXPECT_EQ(ExpressionOptions(re), (std::vector<int>{1, 2, 3, 6, 7, 8, 13}));
}

TEST(OptionSets, SingleFlagsCompleteAGroupAndMarkItsPreset)
{
    // Escaped parentheses and braces plus the basic flags: the basic preset.
    EXPECT_EQ(ExpressionOptions(Cleared({RE::optCharClasses, RE::optIntervals, RE::optBkRefs, RE::optLimitedOps,
                                         RE::optBkBraces, RE::optBkParens})),
              (std::vector<int>{1, 2, 3, 6, 7, 8, 13}));
    // ... and with newline_alt, grep.
    EXPECT_EQ(ExpressionOptions(Cleared({RE::optBasic, RE::optNewlineAlt})),
              (std::vector<int>{1, 2, 3, 4, 6, 7, 8, 18}));
    EXPECT_EQ(ExpressionOptions(Cleared({RE::optEmacs})), (std::vector<int>{6, 7, 8, 9, 16}));
    EXPECT_EQ(ExpressionOptions(Cleared({RE::optCharClasses, RE::optIntervals, RE::optBkRefs})),
              (std::vector<int>{1, 2, 8, 14}));
    EXPECT_EQ(ExpressionOptions(Cleared({RE::optExtended, RE::optEscapeInLists})),
              (std::vector<int>{0, 1, 2, 8, 17}));
    EXPECT_EQ(ExpressionOptions(Cleared({RE::optExtended, RE::optNewlineAlt})),
              (std::vector<int>{1, 2, 4, 8, 19}));
    // Incomplete groups mark nothing.
    EXPECT_EQ(ExpressionOptions(Cleared({RE::optCharClasses, RE::optBkRefs})), (std::vector<int>{1, 8}));
}

TEST(OptionSets, MarkingKeepsTheTwinAlreadyChosen)
{
    RE sed = Cleared({RE::optSed, RE::optICase});
    EXPECT_TRUE(sed.IsExpressionOption(RE::optSed));
    EXPECT_FALSE(sed.IsExpressionOption(RE::optBasic));
}

TEST(OptionSets, DeletingAFlagDropsThePresetItBelongedTo)
{
    RE re;
    re.DeleteExpressionOption(RE::optCharClasses);
    EXPECT_EQ(ExpressionOptions(re), (std::vector<int>{0, 2, 8, 12}));

    RE perl = Cleared({RE::optPerl});
    perl.DeleteExpressionOption(RE::optEscapeInLists);
    EXPECT_EQ(ExpressionOptions(perl), (std::vector<int>{1, 2, 8, 12}));

    // A flag outside the group leaves the preset alone.
    RE icase = Cleared({RE::optPerl, RE::optICase});
    icase.DeleteExpressionOption(RE::optICase);
    EXPECT_EQ(ExpressionOptions(icase), (std::vector<int>{0, 1, 2, 8, 12, 21}));
}

TEST(OptionSets, DeletingAPresetRemovesItsGroup)
{
    RE re;
    re.AddExpressionOption(RE::optICase);
    re.DeleteExpressionOption(RE::optNormal);
    EXPECT_EQ(ExpressionOptions(re), (std::vector<int>{11}));

    RE grep = Cleared({RE::optGrep, RE::optLiteral});
    grep.DeleteExpressionOption(RE::optGrep);
    EXPECT_EQ(ExpressionOptions(grep), (std::vector<int>{10}));
}

TEST(OptionSets, AbsentOrPresentOptionsChangeNothing)
{
    RE re;
    re.SetExpression("(a");
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    re.AddExpressionOption(RE::optNormal);     // present
    re.DeleteExpressionOption(RE::optLiteral); // absent
    EXPECT_EQ(ExpressionOptions(re), (std::vector<int>{0, 1, 2, 8, 12, 15}));
    // A real change resets the parse state: the literal expression now compiles.
    re.AddExpressionOption(RE::optLiteral);
    EXPECT_EQ(re.ParseExpression(), RE::errNone);
}

TEST(OptionSets, CompileFlagsUseTheFirstPresetsGroup)
{
    EXPECT_EQ(Cleared({}).CompileFlags(), 0x400u);
    EXPECT_EQ(Cleared({RE::optBasic}).CompileFlags(), 0x1CEu | 0x400u);
    EXPECT_EQ(Cleared({RE::optGrep}).CompileFlags(), 0x1DEu | 0x400u);
    EXPECT_EQ(Cleared({RE::optEmacs}).CompileFlags(), 0x3C0u | 0x400u);
    EXPECT_EQ(Cleared({RE::optEgrep, RE::optBkPlusQm}).CompileFlags(), 0x116u | 0x20u | 0x400u);
    EXPECT_EQ(Cleared({RE::optLiteral, RE::optICase}).CompileFlags(), 0x3000u | 0x400u);
}

TEST(MatchOptions, DefaultGivesWayToRestrictingOptions)
{
    RE re;
    re.AddMatchOption(RE::matchNotBol);
    EXPECT_EQ(MatchOptions(re), (std::vector<int>{1}));
    re.AddMatchOption(RE::matchDefault);
    EXPECT_EQ(MatchOptions(re), (std::vector<int>{0}));

    // Options 9 to 12 keep matchDefault; 1 to 8 are dropped by it.
    re.AddMatchOption(RE::matchAny);
    re.AddMatchOption(RE::matchPartial);
    EXPECT_EQ(MatchOptions(re), (std::vector<int>{0, 9, 12}));
    re.AddMatchOption(RE::matchNotEol);
    EXPECT_EQ(MatchOptions(re), (std::vector<int>{2, 9, 12}));
    re.AddMatchOption(RE::matchDefault);
    EXPECT_EQ(MatchOptions(re), (std::vector<int>{0, 9, 12}));
}

TEST(MatchOptions, DeletingTheLastRestrictionBringsDefaultBack)
{
    RE re;
    re.AddMatchOption(RE::matchNotBol);
    re.AddMatchOption(RE::matchNotDotNull);
    re.DeleteMatchOption(RE::matchNotBol);
    EXPECT_EQ(MatchOptions(re), (std::vector<int>{8}));
    re.DeleteMatchOption(RE::matchNotDotNull);
    EXPECT_EQ(MatchOptions(re), (std::vector<int>{0}));
    re.DeleteMatchOption(RE::matchDefault);
    EXPECT_TRUE(MatchOptions(re).empty());
    re.AddMatchOption(RE::matchAny);
    re.ClearMatchOptions();
    EXPECT_TRUE(MatchOptions(re).empty());
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
