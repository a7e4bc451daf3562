#include <patternkit/RegularExpression.h>

#include <gtest/gtest.h>

#include <locale>

using RE = RegularExpression;

namespace {

void Callback(RE*, const REMatchList&, unsigned, unsigned, bool&) {}

}  // namespace

TEST(Object, CopyTakesSettingsAndCallbacksButNotHandlersOrCompiledState)
{
    RE original;
    original.SetExpression("(");
    original.SetStringToMatch("text");
    original.SetMaximumSplits(3);
    original.AddExpressionOption(RE::optICase);
    original.SetOnGrepping(&Callback);
    original.OnGrepping.Hook(&original, [](RE*, const REMatchList&, unsigned, unsigned, bool&) {});
    EXPECT_EQ(original.ParseExpression(), RE::errParen);

    RE copy(original);
    EXPECT_TRUE(copy == original);
    EXPECT_EQ(copy.GetOnGrepping(), &Callback);
    EXPECT_TRUE(copy.OnGrepping.Empty());
    EXPECT_EQ(copy.GetExpressionError(), "");  // parse state starts reset
    copy.SetStringToMatch("other");
    EXPECT_EQ(original.GetStringToMatch(), "text");
    EXPECT_FALSE(copy == original);
}

TEST(Object, AssignmentKeepsTheTargetsHandlersAndLocale)
{
    RE source;
    source.SetExpression("a");
    RE target;
    target.SetExpression("(");
    EXPECT_EQ(target.ParseExpression(), RE::errParen);
    const std::locale classic = std::locale::classic();
    target.SetLocale(classic);
    int hooked = 0;
    target.OnGrepping.Hook(&hooked, [&](RE*, const REMatchList&, unsigned, unsigned, bool&) { ++hooked; });

    target = source;
    EXPECT_TRUE(target == source);
    EXPECT_EQ(target.GetLocale(), classic);
    target.SetStringToMatch("aa");
    EXPECT_EQ(target.Grep(), 2u);  // recompiled, not the old "(" state
    EXPECT_EQ(hooked, 2);
    RE& self = target;
    target = self;
    EXPECT_EQ(target.GetExpression(), "a");
}

TEST(Object, EqualityComparesOptionsAndPropertiesOnly)
{
    RE a, b;
    b.SetLocale(std::locale::classic());
    b.SetOnGrepping(&Callback);
    b.SetExpression("x");
    b.ParseExpression();
    b.SetExpression("");
    EXPECT_TRUE(a == b);
    for (auto change : {+[](RE& r) { r.SetFormatType(RE::formatSed); }, +[](RE& r) { r.SetSaveExtension("b"); },
                        +[](RE& r) { r.SetContinueFiles(false); }, +[](RE& r) { r.SetMaximumSplits(1); },
                        +[](RE& r) { r.AddMatchOption(RE::matchAny); }, +[](RE& r) { r.SetLocaleDll("d"); },
                        +[](RE& r) { r.SetLocaleModel(RE::localeC); }}) {
        RE c;
        change(c);
        EXPECT_FALSE(a == c);
    }
}

TEST(Object, SettersResetOnlyTheModelsTheyConcern)
{
    RE re;
    re.SetExpression("(");
    re.SetLocaleModel(RE::localeC);
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    re.SetLocaleModel(RE::localeCpp);
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    re.SetLocaleDll("nothing-here");
    re.SetLocale(std::locale::classic());
    EXPECT_EQ(re.GetExpressionError(), "");
    re.SetLocaleModel(RE::localeC);
    EXPECT_FALSE(re.GetExpressionError().empty());
    // Options: only a real change resets.
    re.AddExpressionOption(RE::optNormal);
    re.AddMatchOption(RE::matchAny);
    EXPECT_FALSE(re.GetExpressionError().empty());
    re.AddExpressionOption(RE::optLiteral);
    EXPECT_EQ(re.GetExpressionError(), "");
}

TEST(Object, CopiedMatchTextsOwnTheirBytes)
{
    std::string source = "hello";
    const REMatchText view = REMatchText::Refer(source.data() + 1, 3);
    const REMatchText copy = view;
    EXPECT_EQ(static_cast<const CString&>(view), "ell");
    source = "XXXXX";
    EXPECT_EQ(copy, "ell");
}
