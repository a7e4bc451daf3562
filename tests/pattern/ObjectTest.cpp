#include <patternkit/RegularExpression.h>

#include <gtest/gtest.h>

#include <locale>

using RE = RegularExpression;

namespace {

void Callback(RE*, const REMatchList&, unsigned, unsigned, bool&) {}

} // namespace

TEST(Object, Defaults)
{
    const RE re;
    EXPECT_EQ(re.GetExpression(), "");
    EXPECT_EQ(re.GetStringToMatch(), "");
    EXPECT_EQ(re.GetFormatString(), "");
    EXPECT_EQ(re.GetFilesToMatch(), "");
    EXPECT_EQ(re.GetSaveExtension(), "");
    EXPECT_EQ(re.GetLocaleDll(), "");
    EXPECT_EQ(re.GetFormatType(), RE::formatAll);
    EXPECT_EQ(re.GetLocaleModel(), RE::localeCpp);
    EXPECT_FALSE(re.GetDirectoryRecursion());
    EXPECT_TRUE(re.GetContinueFiles());
    EXPECT_FALSE(re.GetMergeCopy());
    EXPECT_FALSE(re.GetMergeOnlyFirst());
    EXPECT_FALSE(re.GetSplitInputDelete());
    EXPECT_EQ(re.GetMaximumSplits(), 0u);
    EXPECT_EQ(re.GetOnMatching(), nullptr);
    EXPECT_EQ(re.GetOnGrepping(), nullptr);
    EXPECT_EQ(re.GetOnFindingFiles(), nullptr);
    EXPECT_FALSE(re.IsBusy());
}

TEST(Object, CopyTakesSettingsAndCallbacksButNotHandlersOrCompiledState)
{
    RE original;
    original.SetExpression("(");
    original.SetStringToMatch("text");
    original.SetMergeCopy(true);
    original.SetMaximumSplits(3);
    original.AddExpressionOption(RE::optICase);
    original.SetOnGrepping(&Callback);
    original.OnGrepping.Hook(&original, [](RE*, const REMatchList&, unsigned, unsigned, bool&) {});
    EXPECT_EQ(original.ParseExpression(), RE::errParen);

    RE copy(original);
    EXPECT_TRUE(copy == original);
    EXPECT_EQ(copy.GetOnGrepping(), &Callback);
    EXPECT_TRUE(copy.OnGrepping.Empty());
    EXPECT_EQ(copy.GetExpressionError(), ""); // parse state starts reset
    EXPECT_EQ(copy.GetStringToMatch(), "text");

    // Changing the copy leaves the original alone.
    copy.SetStringToMatch("other");
    EXPECT_EQ(original.GetStringToMatch(), "text");
    EXPECT_FALSE(copy == original);
}

TEST(Object, AssignmentKeepsTheTargetsHandlersAndLocale)
{
    RE source;
    source.SetExpression("a");
    source.SetLocaleModel(RE::localeC);
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
    EXPECT_EQ(target.Grep(), 2u);
    EXPECT_EQ(hooked, 2);

    RE& self = target;
    target = self;
    EXPECT_EQ(target.GetExpression(), "a");
}

TEST(Object, EqualityIgnoresLocaleCallbacksAndResults)
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
                        +[](RE& r) { r.AddExpressionOption(RE::optICase); }}) {
        RE c;
        change(c);
        EXPECT_FALSE(a == c);
    }
}

TEST(Object, SettersOnlyResetTheModelsTheyConcern)
{
    RE re;
    re.SetExpression("(");
    re.SetLocaleModel(RE::localeC);
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    re.SetLocaleModel(RE::localeCpp);
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
    // LocaleDll and Locale leave the C model parsed.
    re.SetLocaleDll("nothing-here");
    re.SetLocale(std::locale::classic());
    EXPECT_EQ(re.GetExpressionError(), "");
    re.SetLocaleModel(RE::localeC);
    EXPECT_FALSE(re.GetExpressionError().empty());
}

TEST(Object, EventListHookUnhookAndCopies)
{
    REEvent<int&> event;
    int a = 0, b = 0;
    event.Hook(&a, [&](int& v) { v += 1; ++a; });
    event.Hook(&b, [&](int& v) { v *= 10; ++b; });
    event.Hook(&a, nullptr); // an empty callable is not hooked
    int value = 1;
    event(value);
    EXPECT_EQ(value, 20);
    EXPECT_EQ(event.Size(), 2u);
    REEvent<int&> copy(event);
    EXPECT_TRUE(copy.Empty());
    event.Unhook(&a);
    event(value);
    EXPECT_EQ(value, 200);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
}

TEST(Object, MatchTextCopiesOwnTheirBytes)
{
    std::string source = "hello";
    REMatchText view = REMatchText::Refer(source.data() + 1, 3);
    REMatchText copy = view;
    EXPECT_EQ(view, "ell");
    const CString& s = view;
    EXPECT_EQ(s, "ell");
    source = "XXXXX";
    EXPECT_EQ(copy, "ell");
    EXPECT_EQ(copy.size(), 3u);
}
