#include <patternkit/RegularExpression.h>

#include <gtest/gtest.h>

#include "StoredAndLoaded.h"

#include <climits>
#include <locale>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

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

TEST(Object, ValuesOutsideTheEnumerationsLeaveTheObjectAsItWas)
{
    for (const int value : {3, 4, 7, 8, 100, -1, INT_MIN}) {
        SCOPED_TRACE(value);
        RE re;
        re.SetLocaleModel(RE::localeC);
        re.SetFormatType(RE::formatSed);
        re.SetExpression("(");
        re.SetLocaleModel(static_cast<RE::LocaleModels>(value));
        re.SetFormatType(static_cast<RE::FormatTypes>(value));
        EXPECT_EQ(re.GetLocaleModel(), RE::localeC);
        EXPECT_EQ(re.GetFormatType(), RE::formatSed);
        EXPECT_EQ(re.ParseExpression(), RE::errParen);
        re.SetExpression("a");
        re.SetStringToMatch("banana");
        EXPECT_EQ(re.ParseExpression(), RE::errNone) << "no stale error of another model";
        EXPECT_EQ(re.Grep(), 3u);
        const std::unique_ptr<RE> loaded = StoredAndLoaded(re);
        ASSERT_TRUE(loaded);
        EXPECT_TRUE(*loaded == re);
    }
}

TEST(Object, MaximumSplitsSaturatesAtThirtyTwoBits)
{
    if (sizeof(unsigned long) < 8)
        GTEST_SKIP() << "unsigned long holds 32 bits here";
    const struct {
        unsigned long set;
        unsigned long kept;
    } cases[] = {
        {5, 5},
        {0xFFFFFFFFul, 0xFFFFFFFFul},
        {0x100000000ul, 0xFFFFFFFFul},  // not 0, which means unlimited
        {0x100000001ul, 0xFFFFFFFFul},  // not 1
        {~0ul, 0xFFFFFFFFul},
    };
    for (const auto& c : cases) {
        RE re;
        re.SetMaximumSplits(c.set);
        EXPECT_EQ(re.GetMaximumSplits(), c.kept) << c.set;
        EXPECT_EQ(StoredAndLoaded(re)->GetMaximumSplits(), c.kept) << c.set;
    }
    RE re;
    re.SetExpression(",");
    re.SetStringToMatch("a,b,c");
    re.SetMaximumSplits(0x100000001ul);
    CStringArray parts;
    EXPECT_EQ(re.Split(parts), 3u);
}

TEST(Object, GettersReturnTextsOfTheirOwn)
{
    // A reference into the object would dangle once the property changes.
    RE re;
    static_assert(std::is_same_v<decltype(re.GetStringToMatch()), CString>);
    static_assert(std::is_same_v<decltype(re.GetExpression()), CString>);
    static_assert(std::is_same_v<decltype(re.GetFormatString()), CString>);
    static_assert(std::is_same_v<decltype(re.GetFilesToMatch()), CString>);
    static_assert(std::is_same_v<decltype(re.GetSaveExtension()), CString>);
    static_assert(std::is_same_v<decltype(re.GetLocaleDll()), CString>);
    static_assert(std::is_same_v<decltype(re.GetExpressionError()), CString>);
    static_assert(std::is_same_v<decltype(re.GetLocale()), std::locale>);
    re.SetStringToMatch(std::string(100, 'a'));
    const CString& text = re.GetStringToMatch();
    re.SetStringToMatch("other");
    EXPECT_EQ(text, std::string(100, 'a'));
}

TEST(Object, MatchTextsServeAsTheStringsTheyStandFor)
{
    RE re;
    re.SetExpression("(b+)(c)");
    re.SetStringToMatch("abbcd");
    REMatchList seen;
    re.OnSearching.Hook(&seen, [&](RE*, const REMatchList& m, unsigned, unsigned) {
        const REMatchText& whole = m[0].text;
        EXPECT_EQ("<" + whole + '>', "<bbc>");
        EXPECT_EQ(whole + m[2].text, "bbcc");
        EXPECT_EQ(whole.substr(1), "bc");
        EXPECT_EQ(whole.find("bc"), 1u);
        EXPECT_EQ(whole.rfind('b'), 1u);
        const std::string_view view = whole;
        EXPECT_EQ(view, "bbc");
        CString appended = "a";
        appended += whole;
        EXPECT_EQ(appended, "abbc");
        EXPECT_TRUE(whole != "bb" && CString("bbc") == whole && m[1].text != whole);
        seen = m;
    });
    ASSERT_TRUE(re.Search());
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[4].text.substr(0, 1), "d");  // the suffix, copied out of the event
}
