#include "EngineFlags.h"

#include <patternkit/RegularExpression.h>

#include <gtest/gtest.h>

using boost::regbase;
using RE = RegularExpression;

namespace {

unsigned Engine(unsigned long classic)
{
    return static_cast<unsigned>(patternkit::EngineSyntaxFlags(classic));
}

struct SearchCase {
    std::vector<RE::Options> options;
    const char* expression;
    const char* text;
    bool found;
};

}  // namespace

TEST(EngineFlags, ClassicPresetsBecomeThisEnginesPresets)
{
    EXPECT_EQ(Engine(0x4507), unsigned(regbase::perl));
    EXPECT_EQ(Engine(0x5CE), unsigned(regbase::basic));
    EXPECT_EQ(Engine(0x5DE), unsigned(regbase::grep));
    EXPECT_EQ(Engine(0x7C0), unsigned(regbase::emacs | regbase::no_char_classes | regbase::no_intervals |
                                      regbase::no_escape_in_lists));
    EXPECT_EQ(Engine(0x6507), unsigned(regbase::perl | regbase::icase));
    EXPECT_EQ(Engine(0x4107), unsigned(regbase::perl | regbase::no_except));
    EXPECT_EQ(Engine(0x4006) & regbase::no_bk_refs, unsigned(regbase::no_bk_refs));
    EXPECT_EQ(Engine(0x4510) & regbase::main_option_type, unsigned(regbase::perl_syntax_group));
    // Basic without limited_ops takes + and ? from the emacs extensions, or
    // escaped with bk_plus_qm.
    EXPECT_TRUE(Engine(0x1C6) & regbase::emacs_ex);
    EXPECT_EQ(Engine(0x1E6) & (regbase::emacs_ex | regbase::bk_plus_qm), unsigned(regbase::bk_plus_qm));
}

TEST(EngineFlags, OptionsBehaveThroughTheComponent)
{
    const std::vector<SearchCase> cases = {
        {{RE::optBasic}, "\\(ab\\)\\1", "xababy", true},
        {{RE::optBasic}, "a+", "a+", true},  // limited_ops: + is literal
        {{RE::optBasic}, "a+", "aa", false},
        {{RE::optBasic}, "[\\]", "\\", true},         // no escapes in lists
        {{RE::optGrep}, "cat\ndog", "hotdog", true},  // a newline separates alternatives
        {{RE::optEmacs}, "a\\|b", "b", true},
        {{RE::optPerl}, "(?:ab)+?c", "ababc", true},
        {{RE::optPerl}, "[\\]]", "\\", false},
        {{RE::optExtended}, "(a)\\1", "aa", true},
        {{RE::optLiteral}, "a.b(", "xa.b(", true},
        {{RE::optLiteral}, "a.b", "axb", false},
        {{RE::optLiteral, RE::optICase}, "A.B", "xa.b", true},
        // Combinations this engine cannot express, as documented:
        {{RE::optEscapeInLists, RE::optBkRefs}, "[[:digit:]]{2}", "a12", true},
        {{RE::optPerl, RE::optLimitedOps}, "a+b", "aaab", true},
        {{RE::optBkParens, RE::optBkBraces}, "\\(a\\)\\1", "aa", true},
    };
    for (const SearchCase& c : cases) {
        RE re;
        re.ClearExpressionOptions();
        for (RE::Options o : c.options)
            re.AddExpressionOption(o);
        re.SetExpression(c.expression);
        re.SetStringToMatch(c.text);
        EXPECT_EQ(re.Search(), c.found) << c.expression << " in " << c.text;
    }
}

TEST(EngineFlags, MatchFormatAndErrorCodes)
{
    EXPECT_EQ(patternkit::EngineMatchFlags(0x1), boost::match_not_bol);
    EXPECT_EQ(patternkit::EngineMatchFlags(0x2000), boost::match_partial);
    EXPECT_EQ(patternkit::EngineFormatFlags(RE::formatAll), boost::format_all);
    EXPECT_EQ(patternkit::EngineFormatFlags(RE::formatSed), boost::format_sed);
    EXPECT_EQ(patternkit::EngineFormatFlags(RE::formatPerl), boost::format_perl);
    for (int code : {0, 2, 8, 14, 16, 17})
        EXPECT_EQ(patternkit::ComponentErrorCode(code), code);
    EXPECT_EQ(patternkit::ComponentErrorCode(15), RE::errSize);
    for (int code : {18, 19, 20, 21})
        EXPECT_EQ(patternkit::ComponentErrorCode(code), RE::errUnknown);
}
