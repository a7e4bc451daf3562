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

RE Object(const char* expression, const std::string& text)
{
    RE re;
    re.SetExpression(expression);
    re.SetStringToMatch(text);
    return re;
}

// Records every Grepping event.
std::vector<Seen>& RecordGrep(RE& re, std::vector<Seen>& seen)
{
    re.OnGrepping.Hook(&seen, [&seen](RE*, const REMatchList& m, unsigned line, unsigned start, bool&) {
        seen.push_back({m, line, start});
    });
    return seen;
}

}  // namespace

TEST(Matching, MatchSearchAndMatchAllWithTheirLists)
{
    RE re = Object("b", "abc");
    std::vector<Seen> seen;
    auto record = [&](RE*, const REMatchList& m, unsigned line, unsigned start) { seen.push_back({m, line, start}); };
    re.OnMatching.Hook(&seen, record);
    re.OnSearching.Hook(&seen, record);
    EXPECT_FALSE(re.Match());
    EXPECT_TRUE(seen.empty());
    ASSERT_TRUE(re.Search());
    ASSERT_EQ(seen.size(), 1u);
    const REMatchList& m = seen[0].matches;
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].text, "b");
    EXPECT_EQ(m[0].position, 1);
    EXPECT_EQ(m[1].text, "a");  // prefix
    EXPECT_EQ(m[1].position, 0);
    EXPECT_EQ(m[2].text, "c");  // suffix
    EXPECT_EQ(m[2].position, 2);

    re.SetExpression("ab");
    EXPECT_FALSE(re.MatchAll());
    EXPECT_TRUE(re.Match());
    re.SetExpression("(x)|(b)");
    ASSERT_TRUE(re.Search());
    const REMatchList& groups = seen.back().matches;
    ASSERT_EQ(groups.size(), 5u);
    EXPECT_EQ(groups[1].text, "");  // did not take part
    EXPECT_EQ(groups[1].position, -1);
    EXPECT_EQ(groups[2].position, 1);
}

TEST(Grep, LinesPrefixesAndCounts)
{
    RE re = Object("^CHAPTER \\d+", "Title\r\n\r\nCHAPTER 1\r\ntext\nCHAPTER 2 CHAPTER 3\n");
    std::vector<Seen> seen;
    EXPECT_EQ(re.Grep(), 2u);  // without a handler
    RecordGrep(re, seen);
    EXPECT_EQ(re.Grep(), 2u);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].line, 3u);
    EXPECT_EQ(seen[0].lineStart, 9u);
    EXPECT_EQ(seen[1].line, 5u);
    EXPECT_EQ(seen[1].lineStart, 25u);
    // The prefix runs from the end of the previous match.
    EXPECT_EQ(seen[1].matches[1].text, "\r\ntext\n");
    EXPECT_EQ(seen[1].matches[1].position, 18);
    EXPECT_EQ(seen[1].matches[2].text, " CHAPTER 3\n");

    // A match in the middle of its line; the text ends at its first NUL.
    seen.clear();
    re.SetExpression("beta");
    re.SetStringToMatch(std::string("alpha\nxx beta\0beta", 18));
    EXPECT_EQ(re.Grep(), 1u);
    EXPECT_EQ(seen.at(0).line, 2u);
    EXPECT_EQ(seen.at(0).lineStart, 6u);
    // A text given to Grep itself is searched whole, past its NUL bytes.
    seen.clear();
    const std::string bytes("alpha\nxx beta\0beta", 18);
    EXPECT_EQ(re.Grep(bytes), 2u);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].matches[0].position, 14);
    EXPECT_EQ(re.GetStringToMatch(), "alpha\nxx beta");
    EXPECT_EQ(re.Grep(std::string_view()), 0u);
    // Empty text: nothing, not even a compile.
    RE bad = Object("(", "");
    EXPECT_EQ(bad.Grep(), 0u);
    EXPECT_EQ(bad.GetExpressionError(), "");
}

TEST(Events, CallbackPointerTakesPrecedenceOverHookedHandlers)
{
    static int callbackCalls;
    callbackCalls = 0;
    RE re = Object("a", "aa");
    std::vector<Seen> seen;
    RecordGrep(re, seen);
    re.SetOnGrepping([](RE*, const REMatchList&, unsigned, unsigned, bool&) { ++callbackCalls; });
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(callbackCalls, 2);
    EXPECT_TRUE(seen.empty());
    re.SetOnGrepping(nullptr);
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(seen.size(), 2u);
}

TEST(Events, HandlersRunInOrderShareTheFlagAndUnhookByReceiver)
{
    RE re = Object("a", "aaa");
    std::string order;
    int first = 0, second = 0;
    re.OnGrepping.Hook(&first, [&](RE*, const REMatchList&, unsigned, unsigned, bool& more) {
        order += '1';
        more = false;
    });
    re.OnSearching.Hook(&first, [&](RE*, const REMatchList&, unsigned, unsigned) { order += 'S'; });
    re.OnGrepping.Hook(&second, [&](RE* self, const REMatchList&, unsigned, unsigned, bool& more) {
        order += '2';
        EXPECT_FALSE(more);
        more = true;                       // the last word wins
        self->OnGrepping.Unhook(&second);  // from the next delivery on
    });
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(order, "121");
    re.__RemoveAllEventHandlers(&first);
    EXPECT_EQ(re.Grep(), 3u);
    EXPECT_TRUE(re.Search());
    EXPECT_EQ(order, "121");
}

TEST(Events, HandlerExceptionsPassThroughAndBusyGuardsTheLocaleModel)
{
    RE re = Object("a", "aa");
    bool busyInside = false;
    re.OnGrepping.Hook(&re, [&](RE* self, const REMatchList&, unsigned, unsigned, bool&) {
        busyInside = self->IsBusy();
        self->SetLocaleModel(RE::localeC);
        throw std::runtime_error("from the handler");
    });
    EXPECT_THROW(re.Grep(), std::runtime_error);
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(re.IsBusy());
    EXPECT_EQ(re.GetLocaleModel(), RE::localeCpp);
    re.OnGrepping.Unhook(&re);
    EXPECT_EQ(re.Grep(), 2u);
}

TEST(Matching, EngineLimitsEndTheOperationWithItsEmptyResult)
{
    // Exponential backtracking: the engine gives up with std::runtime_error.
    RE re = Object("(x+x+)+y", std::string(40, 'x'));
    re.SetFormatString("z");
    EXPECT_FALSE(re.Search());
    EXPECT_FALSE(re.Match());
    EXPECT_FALSE(re.MatchAll());
    EXPECT_EQ(re.Grep(), 0u);
    EXPECT_TRUE(re.GrepGaveUp());
    CString merged = "old";
    re.Merge(merged);
    EXPECT_EQ(merged, "");
    CStringArray parts{"old"};
    EXPECT_EQ(re.Split(parts), 0u);
    EXPECT_TRUE(parts.empty());
    EXPECT_FALSE(re.IsBusy());

    // The next Grep that runs to the end says so.
    re.SetStringToMatch("xxy");
    EXPECT_EQ(re.Grep(), 1u);
    EXPECT_FALSE(re.GrepGaveUp());
}

TEST(Merge, CopyOnlyFirstDeclineAndEmptyFormat)
{
    RE re = Object("a", "banana");
    re.SetFormatString("x");
    CString out;
    re.Merge(out);
    EXPECT_EQ(out, "xxx");
    re.SetMergeCopy(true);
    re.Merge(out);
    EXPECT_EQ(out, "bxnxnx");
    re.SetMergeOnlyFirst(true);
    re.Merge(out);
    EXPECT_EQ(out, "bxnana");
    re.SetMergeOnlyFirst(false);
    int calls = 0;
    re.OnMerging.Hook(&calls, [&](RE*, const REMatchList&, unsigned, unsigned, bool& more) { more = ++calls < 2; });
    re.Merge(out);
    EXPECT_EQ(out, "bxnana");  // the declined match and the rest stay
    re.SetFormatString("");
    re.Merge(out);
    EXPECT_EQ(out, "");
}

TEST(Format, DialectsInsideAHandlerOnly)
{
    RE re = Object("(\\w+)@(\\w+)", "mail joe@host now");
    re.SetFormatString("$2");
    CString out = "stale";
    re.Format(out);
    EXPECT_EQ(out, "");
    CString expansion;
    re.OnSearching.Hook(&expansion, [&](RE* self, const REMatchList&, unsigned, unsigned) { self->Format(expansion); });
    auto expand = [&](RE::FormatTypes type, const char* format) {
        re.SetFormatType(type);
        re.SetFormatString(format);
        expansion = "<none>";
        EXPECT_TRUE(re.Search());
        return expansion;
    };
    EXPECT_EQ(expand(RE::formatPerl, "$2 at $1"), "host at joe");
    EXPECT_EQ(expand(RE::formatSed, "\\2 at \\1 (&)"), "host at joe (joe@host)");
    EXPECT_EQ(expand(RE::formatAll, "(?1yes:no)-$&"), "yes-joe@host");
}

TEST(Split, DefaultSeparatorLimitInputDeleteAndGroups)
{
    RE re = Object("", "one two  three");
    CStringArray parts{"stale"};
    EXPECT_EQ(re.Split(parts), 3u);
    EXPECT_EQ(parts, (CStringArray{"one", "two", "three"}));
    EXPECT_EQ(re.ParseExpression(), RE::errEmptyExpression);  // Expression is empty again
    re.SetMaximumSplits(1);
    EXPECT_EQ(re.Split(parts), 1u);
    EXPECT_EQ(parts, (CStringArray{"one"}));
    EXPECT_EQ(re.GetStringToMatch(), "one two  three");
    re.SetSplitInputDelete(true);
    EXPECT_EQ(re.Split(parts), 1u);
    EXPECT_EQ(re.GetStringToMatch(), "two  three");

    RE groups = Object("<(\\w+)>", "a<b>c<d>e");
    EXPECT_EQ(groups.Split(parts), 2u);
    EXPECT_EQ(parts, (CStringArray{"b", "d"}));
    EXPECT_EQ(Object("(", "text").Split(parts), 0u);
}

TEST(Matching, PartialMatchesOnlyWhereAllowed)
{
    RE re = Object("abcd", "xxab");
    re.AddMatchOption(RE::matchPartial);
    re.SetFormatString("y");
    EXPECT_TRUE(re.Search());
    EXPECT_EQ(re.Grep(), 1u);
    CString merged;
    re.Merge(merged);
    EXPECT_EQ(merged, "");
}

TEST(Reentrancy, HandlersMayRecompileResetTheTextOrMergeAgain)
{
    // Recompiling from a handler leaves the running Grep on its own program.
    RE re = Object("a(n)", "banana");
    std::vector<int> positions;
    re.OnGrepping.Hook(&positions, [&](RE* self, const REMatchList& m, unsigned, unsigned, bool&) {
        positions.push_back(m[0].position);
        self->SetExpression(positions.size() % 2 ? "x(y)(z)" : "q");
        self->ParseExpression();
        self->SetStringToMatch("zz");
        EXPECT_EQ(m[0].text, "an");
    });
    EXPECT_EQ(re.Grep(), 2u);
    EXPECT_EQ(positions, (std::vector<int>{1, 3}));

    // Results stay readable after the handler replaced the text.
    RE search = Object("(b+)", "abbc");
    search.SetFormatString("[$1]");
    CString expansion;
    search.OnSearching.Hook(&expansion, [&](RE* self, const REMatchList&, unsigned, unsigned) {
        self->SetStringToMatch(std::string(64, 'z'));
        self->Format(expansion);
    });
    EXPECT_TRUE(search.Search());
    EXPECT_EQ(expansion, "[bb]");

    // A Merge started from a Merging handler leaves the outer one intact.
    RE merge = Object("a", "banana");
    merge.SetFormatString("x");
    merge.SetMergeCopy(true);
    CString inner;
    int calls = 0;
    merge.OnMerging.Hook(&inner, [&](RE* self, const REMatchList&, unsigned, unsigned, bool&) {
        if (++calls == 2) {
            self->SetMergeOnlyFirst(true);
            self->Merge(inner);
            self->SetMergeOnlyFirst(false);
        }
    });
    CString out;
    merge.Merge(out);
    EXPECT_EQ(out, "bxnxnx");
    EXPECT_EQ(inner, "bxnana");
}
