#include "EngineFlags.h"

#include <patternkit/RegularExpression.h>

#include <gtest/gtest.h>

using boost::regbase;
using patternkit::EngineSyntaxFlags;
using RE = RegularExpression;

namespace {

unsigned Engine(unsigned long classic) { return static_cast<unsigned>(EngineSyntaxFlags(classic)); }

// Compiles expression under the given options and searches text with it.
bool Finds(std::initializer_list<RE::Options> options, const char* expression, const char* text)
{
    RE re;
    re.ClearExpressionOptions();
    for (RE::Options o : options)
        re.AddExpressionOption(o);
    re.SetExpression(expression);
    re.SetStringToMatch(text);
    return re.Search();
}

} // namespace

TEST(EngineFlags, ClassicPresetsBecomeThisEnginesPresets)
{
    constexpr unsigned long useExcept = 0x400;
    EXPECT_EQ(Engine(0x4107 | useExcept), unsigned(regbase::perl));
    EXPECT_EQ(Engine(0x1CE | useExcept), unsigned(regbase::basic));
    EXPECT_EQ(Engine(0x1DE | useExcept), unsigned(regbase::grep));
    EXPECT_EQ(Engine(0x3C0 | useExcept) & ~unsigned(regbase::no_char_classes | regbase::no_intervals |
                                                     regbase::no_escape_in_lists),
              unsigned(regbase::emacs));
    // Extended keeps perl extensions and back-references.
    EXPECT_EQ(Engine(0x106 | useExcept), unsigned(regbase::perl_syntax_group | regbase::collate |
                                                  regbase::no_escape_in_lists));
}

TEST(EngineFlags, SingleSwitchesMapToTheirCounterparts)
{
    constexpr unsigned long perlBase = 0x4107 | 0x400;
    EXPECT_EQ(Engine(perlBase | 0x2000), unsigned(regbase::icase));
    EXPECT_EQ(Engine(perlBase | 0x10), unsigned(regbase::newline_alt));
    EXPECT_EQ(Engine(perlBase & ~0x1ul), unsigned(regbase::no_escape_in_lists));
    EXPECT_EQ(Engine(perlBase & ~0x4000ul), unsigned(regbase::collate));
    EXPECT_EQ(Engine(perlBase & ~0x100ul), unsigned(regbase::no_bk_refs));
    EXPECT_EQ(Engine(perlBase & ~0x400ul), unsigned(regbase::no_except));
    EXPECT_EQ(Engine(perlBase | 0x1000) & regbase::main_option_type, unsigned(regbase::literal));
}

TEST(EngineFlags, EscapedParenthesesPickTheBasicGroup)
{
    // Basic without limited_ops: unescaped + and ? through the emacs extensions.
    const unsigned noLimited = Engine(0x1CE & ~0x8ul);
    EXPECT_TRUE(noLimited & regbase::emacs_ex);
    EXPECT_FALSE(noLimited & regbase::bk_plus_qm);
    // With bk_plus_qm they must be escaped instead.
    const unsigned plusQm = Engine((0x1CE & ~0x8ul) | 0x20);
    EXPECT_TRUE(plusQm & regbase::bk_plus_qm);
    EXPECT_FALSE(plusQm & regbase::emacs_ex);
    EXPECT_TRUE(Engine(0x3C0) & regbase::bk_vbar);
    const unsigned bare = Engine(0x80);
    EXPECT_TRUE(bare & regbase::no_char_classes);
    EXPECT_TRUE(bare & regbase::no_intervals);
}

TEST(EngineFlags, BehaviourOfThePresetsThroughTheComponent)
{
    EXPECT_TRUE(Finds({RE::optBasic}, "\\(ab\\)\\1", "xababy"));
    EXPECT_TRUE(Finds({RE::optBasic}, "a+", "a+"));  // limited_ops: + is literal
    EXPECT_FALSE(Finds({RE::optBasic}, "a+", "aa"));
    EXPECT_TRUE(Finds({RE::optGrep}, "cat\ndog", "hotdog")); // newline separates alternatives
    EXPECT_TRUE(Finds({RE::optEmacs}, "a\\|b", "b"));
    EXPECT_TRUE(Finds({RE::optPerl}, "(?:ab)+?c", "ababc"));
    EXPECT_TRUE(Finds({RE::optExtended}, "(a)\\1", "aa"));
    EXPECT_TRUE(Finds({RE::optLiteral}, "a.b(", "xa.b("));
    EXPECT_FALSE(Finds({RE::optLiteral}, "a.b", "axb"));
}

TEST(EngineFlags, CombinationsWithoutAnEquivalentBehaveAsDocumented)
{
    // Perl group without char_classes or intervals: both stay available.
    EXPECT_TRUE(Finds({RE::optEscapeInLists, RE::optBkRefs}, "[[:digit:]]{2}", "a12"));
    // Perl group with limited_ops: + keeps its meaning.
    EXPECT_TRUE(Finds({RE::optPerl, RE::optLimitedOps}, "a+b", "aaab"));
    // Basic group without bk_refs: \1 is still a back-reference.
    EXPECT_TRUE(Finds({RE::optBkParens, RE::optBkBraces}, "\\(a\\)\\1", "aa"));
    // Without escape_in_lists a backslash is an ordinary member of a list.
    EXPECT_TRUE(Finds({RE::optBasic}, "[\\]", "\\"));
    EXPECT_FALSE(Finds({RE::optPerl}, "[\\]]", "\\"));
}

TEST(EngineFlags, MatchAndFormatFlags)
{
    EXPECT_EQ(patternkit::EngineMatchFlags(0x1), boost::match_not_bol);
    EXPECT_EQ(patternkit::EngineMatchFlags(0x2000), boost::match_partial);
    EXPECT_EQ(patternkit::EngineMatchFlags(0x400), boost::match_any);
    EXPECT_EQ(patternkit::EngineFormatFlags(RE::formatAll), boost::format_all);
    EXPECT_EQ(patternkit::EngineFormatFlags(RE::formatSed), boost::format_sed);
    EXPECT_EQ(patternkit::EngineFormatFlags(RE::formatPerl), boost::format_perl);
}

TEST(EngineFlags, ErrorCodesKeepTheComponentsMeaning)
{
    for (int code = 0; code <= 17; ++code) {
        if (code != 15) {
            EXPECT_EQ(patternkit::ComponentErrorCode(code), code);
        }
    }
    EXPECT_EQ(patternkit::ComponentErrorCode(15), RE::errSize);
    for (int code = 18; code <= 21; ++code)
        EXPECT_EQ(patternkit::ComponentErrorCode(code), RE::errUnknown);
}
