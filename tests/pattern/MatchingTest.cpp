#include <patternkit/RegularExpression.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using RE = RegularExpression;

namespace {

struct Seen {
    REMatchList matches;
    unsigned line = 0;
    unsigned lineStart = 0;
};

RE Object(const char* expression, const char* text)
{
    RE re;
    re.SetExpression(expression);
    re.SetStringToMatch(text);
    return re;
}

} // namespace

TEST(Matching, MatchSearchAndMatchAll)
{
    RE re = Object("b", "abc");
    std::vector<Seen> seen;
    re.OnMatching.Hook(&seen, [&](RE*, const REMatchList& m, unsigned line, unsigned start) {
        seen.push_back({m, line, start});
    });
    re.OnSearching.Hook(&seen, [&](RE*, const REMatchList& m, unsigned line, unsigned start) {
        seen.push_back({m, line, start});
    });
    EXPECT_FALSE(re.Match());
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(re.Search());
    ASSERT_EQ(seen.size(), 1u);
    const REMatchList& m = seen[0].matches;
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].text, "b");
    EXPECT_EQ(m[0].position, 1);
    EXPECT_EQ(m[1].text, "a"); // prefix
    EXPECT_EQ(m[1].position, 0);
    EXPECT_EQ(m[2].text, "c"); // suffix
    EXPECT_EQ(m[2].position, 2);

    re.SetExpression("ab");
    EXPECT_FALSE(re.MatchAll());
    EXPECT_TRUE(re.Match());
    re.SetExpression("a.c");
    EXPECT_TRUE(re.MatchAll());
    EXPECT_EQ(seen.size(), 3u);
}

TEST(Matching, SubexpressionsThatDoNotTakePart)
{
    RE re = Object("(x)|(b)", "abc");
    REMatchList got;
    re.OnSearching.Hook(&got, [&](RE*, const REMatchList& m, unsigned, unsigned) { got = m; });
    ASSERT_TRUE(re.Search());
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[1].text, "");
    EXPECT_EQ(got[1].position, -1);
    EXPECT_EQ(got[2].text, "b");
    EXPECT_EQ(got[2].position, 1);
}

TEST(Matching, LinesAndLineStartsFollowLineFeeds)
{
    RE re = Object("^CHAPTER \\d+", "Title\r\n\r\nCHAPTER 1\r\ntext\nCHAPTER 2\n");
    std::vector<Seen> seen;
    re.OnGrepping.Hook(&seen, [&](RE*, const REMatchList& m, unsigned line, unsigned start, bool&) {
        seen.push_back({m, line, start});
    });
    EXPECT_EQ(re.Grep(), 2u);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].line, 3u);
    EXPECT_EQ(seen[0].lineStart, 9u);
    EXPECT_EQ(seen[1].line, 5u);
    EXPECT_EQ(seen[1].lineStart, 25u);

    // A match in the middle of its line.
    RE search = Object("beta", "alpha\nxx beta");
    Seen one;
    search.OnSearching.Hook(&one, [&](RE*, const REMatchList&, unsigned line, unsigned start) {
        one.line = line;
        one.lineStart = start;
    });
    ASSERT_TRUE(search.Search());
    EXPECT_EQ(one.line, 2u);
    EXPECT_EQ(one.lineStart, 6u);
}

TEST(Grep, CountsAndStopsWhenAHandlerSaysSo)
{
    RE re = Object("a", "banana");
    EXPECT_EQ(re.Grep(), 3u);
    int calls = 0;
    re.OnGrepping.Hook(&calls, [&](RE*, const REMatchList&, unsigned, unsigned, bool& more) {
        ++calls;
        more = false;
    });
    EXPECT_EQ(re.Grep(), 1u);
    EXPECT_EQ(calls, 1);
}

TEST(Grep, EmptyTextGivesZeroEvenForABadExpression)
{
    RE re = Object("(", "");
    EXPECT_EQ(re.Grep(), 0u);
    re.SetStringToMatch("x");
    EXPECT_EQ(re.Grep(), 0u);
    EXPECT_EQ(re.ParseExpression(), RE::errParen);
}

TEST(Grep, PrefixRunsFromTheEndOfThePreviousMatch)
{
    RE re = Object("\\d", "a1bb2");
    std::vector<REMatchList> lists;
    re.OnGrepping.Hook(&lists, [&](RE*, const REMatchList& m, unsigned, unsigned, bool&) { lists.push_back(m); });
    ASSERT_EQ(re.Grep(), 2u);
    EXPECT_EQ(lists[1][1].text, "bb");
    EXPECT_EQ(lists[1][1].position, 2);
    EXPECT_EQ(lists[1][2].text, "");
    EXPECT_EQ(lists[0][2].text, "bb2");
}

TEST(Grep, TextIsSearchedUpToItsFirstNul)
{
    RE re;
    re.SetExpression("x");
    re.SetStringToMatch(CString("x\0x", 3));
    EXPECT_EQ(re.GetStringToMatch(), "x");
    EXPECT_EQ(re.Grep(), 1u);
}

TEST(Grep, HandlerThatReplacesTheTextDoesNotDisturbTheScan)
{
    RE re = Object("a", "banana");
    std::vector<int> positions;
    re.OnGrepping.Hook(&positions, [&](RE* self, const REMatchList& m, unsigned, unsigned, bool&) {
        positions.push_back(m[0].position);
        self->SetStringToMatch("zz");
        EXPECT_EQ(m[0].text, "a");
    });
    EXPECT_EQ(re.Grep(), 3u);
    EXPECT_EQ(positions, (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(re.GetStringToMatch(), "zz");
}

TEST(Events, CallbackPointerTakesPrecedenceOverHookedHandlers)
{
    static int callbackCalls;
    callbackCalls = 0;
    RE re = Object("a", "aa");
    int hookedCalls = 0;
    re.OnGrepping.Hook(&hookedCalls, [&](RE*, const REMatchList&, unsigned, unsigned, bool&) { ++hookedCalls; });
    re.SetOnGrepping([](RE*, const REMatchList&, unsigned, unsigned, bool&) { ++callbackCalls; });
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(callbackCalls, 2);
    EXPECT_EQ(hookedCalls, 0);
    re.SetOnGrepping(nullptr);
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(hookedCalls, 2);
}

TEST(Events, HandlersShareTheContinueFlagAndRunInOrder)
{
    RE re = Object("a", "aaa");
    std::string order;
    re.OnGrepping.Hook(&order, [&](RE*, const REMatchList&, unsigned, unsigned, bool& more) {
        order += '1';
        more = false;
    });
    int other = 0;
    re.OnGrepping.Hook(&other, [&](RE*, const REMatchList&, unsigned, unsigned, bool& more) {
        order += '2';
        EXPECT_FALSE(more);
        more = true; // the last word wins
    });
    EXPECT_EQ(re.Grep(), 3u);
    EXPECT_EQ(order, "121212");
}

TEST(Events, RemoveAllEventHandlersOfOneReceiver)
{
    RE re = Object("a", "a");
    int mine = 0, theirs = 0;
    re.OnGrepping.Hook(&mine, [&](RE*, const REMatchList&, unsigned, unsigned, bool&) { ++mine; });
    re.OnSearching.Hook(&mine, [&](RE*, const REMatchList&, unsigned, unsigned) { ++mine; });
    re.OnGrepping.Hook(&theirs, [&](RE*, const REMatchList&, unsigned, unsigned, bool&) { ++theirs; });
    re.__RemoveAllEventHandlers(&mine);
    re.Grep();
    re.Search();
    EXPECT_EQ(mine, 0);
    EXPECT_EQ(theirs, 1);
}

TEST(Events, AHandlerMayUnhookItselfWhileDelivered)
{
    RE re = Object("a", "aaa");
    int calls = 0;
    re.OnGrepping.Hook(&calls, [&](RE* self, const REMatchList&, unsigned, unsigned, bool&) {
        ++calls;
        self->OnGrepping.Unhook(&calls);
    });
    EXPECT_EQ(re.Grep(), 3u);
    EXPECT_EQ(calls, 1);
}

TEST(Events, HandlerExceptionsPassThroughAndLeaveTheObjectUsable)
{
    RE re = Object("a", "aa");
    re.OnGrepping.Hook(&re, [](RE*, const REMatchList&, unsigned, unsigned, bool&) {
        throw std::runtime_error("from the handler");
    });
    EXPECT_THROW(re.Grep(), std::runtime_error);
    EXPECT_FALSE(re.IsBusy());
    re.OnGrepping.Unhook(&re);
    EXPECT_EQ(re.Grep(), 2u);
}

TEST(Events, LocaleModelCannotChangeWhileAnOperationRuns)
{
    RE re = Object("a", "a");
    bool busyInside = false;
    re.OnGrepping.Hook(&re, [&](RE* self, const REMatchList&, unsigned, unsigned, bool&) {
        busyInside = self->IsBusy();
        self->SetLocaleModel(RE::localeC);
    });
    re.Grep();
    EXPECT_TRUE(busyInside);
    EXPECT_EQ(re.GetLocaleModel(), RE::localeCpp);
    re.SetLocaleModel(RE::localeC);
    EXPECT_EQ(re.GetLocaleModel(), RE::localeC);
}

TEST(Matching, EngineLimitsEndTheOperationWithItsEmptyResult)
{
    // Exponential backtracking: the engine gives up with std::runtime_error.
    const std::string xs(40, 'x');
    RE re = Object("(x+x+)+y", xs.c_str());
    re.SetFormatString("z");
    EXPECT_FALSE(re.Search());
    EXPECT_FALSE(re.Match());
    EXPECT_FALSE(re.MatchAll());
    EXPECT_EQ(re.Grep(), 0u);
    CString merged = "old";
    re.Merge(merged);
    EXPECT_EQ(merged, "");
    CStringArray parts{"old"};
    EXPECT_EQ(re.Split(parts), 0u);
    EXPECT_TRUE(parts.empty());
    EXPECT_FALSE(re.IsBusy());
}

TEST(Merge, CopyOnlyFirstAndPlainExpansions)
{
    RE re = Object("a", "banana");
    re.SetFormatString("x");
    CString out;
    re.SetMergeCopy(true);
    re.Merge(out);
    EXPECT_EQ(out, "bxnxnx");
    re.SetMergeOnlyFirst(true);
    re.Merge(out);
    EXPECT_EQ(out, "bxnana");
    re.SetMergeOnlyFirst(false);
    re.SetMergeCopy(false);
    re.Merge(out);
    EXPECT_EQ(out, "xxx");
    re.SetFormatString("");
    re.Merge(out);
    EXPECT_EQ(out, "");
}

TEST(Merge, HandlerThatDeclinesLeavesTheRestUnchanged)
{
    RE re = Object("a", "banana");
    re.SetFormatString("x");
    re.SetMergeCopy(true);
    int calls = 0;
    re.OnMerging.Hook(&calls, [&](RE*, const REMatchList&, unsigned, unsigned, bool& more) {
        if (++calls == 2)
            more = false;
    });
    CString out;
    re.Merge(out);
    EXPECT_EQ(out, "bxnana");
}

TEST(Format, DialectsAndCurrentResults)
{
    RE re = Object("(\\w+)@(\\w+)", "mail joe@host now");
    re.SetFormatString("$2 at $1");
    CString out = "stale";
    re.Format(out);
    EXPECT_EQ(out, ""); // nothing current outside a handler

    std::vector<CString> expansions;
    re.OnSearching.Hook(&expansions, [&](RE* self, const REMatchList&, unsigned, unsigned) {
        CString s;
        self->Format(s);
        expansions.push_back(s);
    });
    auto expand = [&](RE::FormatTypes type, const char* format) {
        re.SetFormatType(type);
        re.SetFormatString(format);
        expansions.clear();
        EXPECT_TRUE(re.Search());
        return expansions.empty() ? CString("<none>") : expansions[0];
    };
    EXPECT_EQ(expand(RE::formatPerl, "$2 at $1"), "host at joe");
    EXPECT_EQ(expand(RE::formatSed, "\\2 at \\1 (&)"), "host at joe (joe@host)");
    EXPECT_EQ(expand(RE::formatAll, "(?1yes:no)-$&"), "yes-joe@host");
    re.Format(out);
    EXPECT_EQ(out, "");
}

TEST(Split, DefaultSeparatorLimitAndInputDelete)
{
    RE re = Object("", "one two  three");
    CStringArray parts{"stale"};
    EXPECT_EQ(re.Split(parts), 3u);
    EXPECT_EQ(parts, (CStringArray{"one", "two", "three"}));
    EXPECT_EQ(re.GetExpression(), "");
    EXPECT_EQ(re.ParseExpression(), RE::errEmptyExpression);

    re.SetMaximumSplits(1);
    EXPECT_EQ(re.Split(parts), 1u);
    EXPECT_EQ(parts, (CStringArray{"one"}));
    EXPECT_EQ(re.GetStringToMatch(), "one two  three");
    re.SetSplitInputDelete(true);
    EXPECT_EQ(re.Split(parts), 1u);
    EXPECT_EQ(re.GetStringToMatch(), "two  three");
}

TEST(Split, SubexpressionsYieldOnlyTheirTexts)
{
    RE re = Object("<(\\w+)>", "a<b>c<d>e");
    CStringArray parts;
    EXPECT_EQ(re.Split(parts), 2u);
    EXPECT_EQ(parts, (CStringArray{"b", "d"}));

    RE bad = Object("(", "text");
    EXPECT_EQ(bad.Split(parts), 0u);
    RE empty = Object("", "");
    EXPECT_EQ(empty.Split(parts), 0u);
}

TEST(Matching, PartialMatchesOnlyWhereAllowed)
{
    RE re = Object("abcd", "xxab");
    re.AddMatchOption(RE::matchPartial);
    EXPECT_TRUE(re.Search());
    EXPECT_EQ(re.Grep(), 1u);
    CStringArray parts;
    EXPECT_EQ(re.Split(parts), 1u); // no separator found: the whole text
    EXPECT_EQ(parts, (CStringArray{"xxab"}));
}

TEST(Reentrancy, HandlerThatRecompilesTheExpressionDoesNotBreakTheRunningGrep)
{
    RE re = Object("a(n)", "banana");
    std::vector<int> positions;
    re.OnGrepping.Hook(&positions, [&](RE* self, const REMatchList& m, unsigned, unsigned, bool&) {
        positions.push_back(m[0].position);
        self->SetExpression(positions.size() % 2 ? "x(y)(z)" : "q");
        self->ParseExpression();
    });
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(positions, (std::vector<int>{1, 3}));
}

TEST(Reentrancy, MergeStartedFromAMergingHandlerLeavesTheOuterOneIntact)
{
    RE re = Object("a", "banana");
    re.SetFormatString("x");
    re.SetMergeCopy(true);
    CString inner;
    int calls = 0;
    re.OnMerging.Hook(&inner, [&](RE* self, const REMatchList&, unsigned, unsigned, bool&) {
        if (++calls == 2) {
            self->SetMergeOnlyFirst(true);
            self->Merge(inner);
            self->SetMergeOnlyFirst(false);
        }
    });
    CString out;
    re.Merge(out);
    EXPECT_EQ(out, "bxnxnx");
    EXPECT_EQ(inner, "bxnana");
}

TEST(Reentrancy, NewTextFromASearchingHandlerKeepsTheResultsReadable)
{
    RE re = Object("(b+)", "abbc");
    re.SetFormatString("[$1]");
    CString expansion;
    re.OnSearching.Hook(&expansion, [&](RE* self, const REMatchList& m, unsigned, unsigned) {
        self->SetStringToMatch(std::string(64, 'z'));
        self->Format(expansion);
        EXPECT_EQ(m[0].text, "bb");
    });
    EXPECT_TRUE(re.Search());
    EXPECT_EQ(expansion, "[bb]");
}
