#include <core/BookmarkEditing.h>
#include <core/PreviewPercent.h>
#include <core/TextLines.h>
#include <palm/EbookReader.h>
#include <palm/EbookWriters.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using folivo::TextLines;

std::vector<std::string> LinesOf(const std::string& text)
{
    TextLines lines(text);
    std::vector<std::string> out;
    for (int i = 0; i < lines.Count(); ++i)
        out.push_back(text.substr(static_cast<std::size_t>(lines.Start(i)), static_cast<std::size_t>(lines.Length(i))));
    return out;
}

TEST(TextLinesTest, AllThreeKindsOfLineBreakSplitTheSameLines)
{
    const std::vector<std::string> expected{"Title", "", "Chapter 1", "end"};
    EXPECT_EQ(LinesOf("Title\r\n\r\nChapter 1\r\nend"), expected);
    EXPECT_EQ(LinesOf("Title\n\nChapter 1\nend"), expected);
    EXPECT_EQ(LinesOf("Title\r\rChapter 1\rend"), expected);
    // LF CR is two breaks, not one.
    EXPECT_EQ(LinesOf("a\n\rb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(LinesOf(""), (std::vector<std::string>{""}));
    EXPECT_EQ(LinesOf("one\r\n"), (std::vector<std::string>{"one", ""}));
    EXPECT_EQ(LinesOf("one"), (std::vector<std::string>{"one"}));
}

TEST(TextLinesTest, PositionsFindTheirLineAndBreaksBelongToTheLineTheyEnd)
{
    const TextLines crlf("ab\r\ncd\r\n");
    EXPECT_EQ(crlf.Count(), 3);
    EXPECT_EQ(crlf.Start(1), 4);
    for (int p : {0, 1, 2, 3})
        EXPECT_EQ(crlf.LineOf(p), 0) << p;
    EXPECT_EQ(crlf.LineOf(4), 1);
    EXPECT_EQ(crlf.LineOf(7), 1);
    EXPECT_EQ(crlf.LineOf(8), 2);
    EXPECT_EQ(crlf.LineOf(500), 2);
    EXPECT_EQ(crlf.LineOf(-3), 0);
    EXPECT_EQ(TextLines("").LineOf(10), 0);
}

TEST(BookmarkEditingTest, AddProposesTheLineBelowTheTopOrTheTopWhenNoneIsBelow)
{
    const std::string text = "first\rsecond line of the text\rlast";
    const TextLines lines(text);
    auto proposal = folivo::ProposeBookmark(lines, 0);
    EXPECT_EQ(proposal.line, 1);
    EXPECT_EQ(proposal.position, 6);
    EXPECT_EQ(folivo::ProposedName(std::string_view(text).substr(6, static_cast<std::size_t>(lines.Length(1)))),
              "second line of ");
    proposal = folivo::ProposeBookmark(lines, 2);
    EXPECT_EQ(proposal.line, 2);
    EXPECT_EQ(proposal.position, 30);
    const TextLines empty("");
    EXPECT_EQ(folivo::ProposeBookmark(empty, 0).position, 0);
    EXPECT_EQ(folivo::ProposedName("abc"), "abc");
}

TEST(BookmarkEditingTest, OrdersUseEachEntrysOwnKeyAndEqualKeysKeepCreationOrder)
{
    BookmarkList list;
    list.Add("beta", 900, true);
    list.Add("Alpha", 100, false);
    list.Add("alpha", 100, true);
    list.Add("\xC9tude", 10, false);  // É sorts after every ASCII letter, byte-wise
    list.Add("beta", 50, false);
    EXPECT_EQ(folivo::OrderBookmarks(list, folivo::BookmarkOrder::Creation), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(folivo::OrderBookmarks(list, folivo::BookmarkOrder::Name), (std::vector<int>{1, 2, 0, 4, 3}));
    EXPECT_EQ(folivo::OrderBookmarks(list, folivo::BookmarkOrder::Position), (std::vector<int>{3, 4, 1, 2, 0}));
    EXPECT_TRUE(folivo::OrderBookmarks(BookmarkList(), folivo::BookmarkOrder::Name).empty());
}

// The dialogs that name bookmarks take as many characters as the chosen
// format keeps: a name that long is stored whole, one more is cut.
TEST(BookmarkEditingTest, TheStoredNameLengthIsWhatEachFormatKeeps)
{
    const std::string text(2000, 'x');
    for (DocumentFormat format : {DocumentFormat::PalmDoc, DocumentFormat::zTXT}) {
        const std::size_t n = folivo::StoredNameLength(format);
        const std::string name = std::string(n, 'N') + "+";
        std::string file;
        const palm::BookContent content{"T", text, {{name, 0}, {name.substr(0, n), 10}}, 1024};
        ASSERT_TRUE((format == DocumentFormat::PalmDoc ? palm::BuildPalmDoc(content, true, file)
                                                       : palm::BuildZtxt(content, palm::ZtxtMode::RandomAccess, file))
                        .Ok());
        palm::EbookInfo info;
        ASSERT_TRUE(palm::ReadEbook(file, info).Ok());
        ASSERT_EQ(info.bookmarks.size(), 2u);
        EXPECT_EQ(info.bookmarks[0].name, name.substr(0, n)) << n;
        EXPECT_EQ(info.bookmarks[1].name, name.substr(0, n)) << n;
    }
}

// Each row: what the preview computes, and what it must be.
TEST(PreviewPercentTest, LinesPositionsAndPercentagesConvertWithinTheText)
{
    const struct {
        const char* what;
        long long got;
        long long expected;
    } cases[] = {
        {"line 199 of 200", folivo::LinePercent(199, 200), 99},
        {"line 0 of none", folivo::LinePercent(0, 0), 0},
        {"100% of 200 lines", folivo::PercentLine(100, 200), 200},
        {"33% of 7 lines", folivo::PercentLine(33, 7), 2},
        {"jump to line 199 of 200", folivo::JumpPercent(199, 200), 100},
        {"byte 0", folivo::PositionPercent(0, 1000), 0},
        {"byte 500", folivo::PositionPercent(500, 1000), 50},
        {"byte 999", folivo::PositionPercent(999, 1000), 99},
        {"the end", folivo::PositionPercent(1000, 1000), 100},
        {"past the end", folivo::PositionPercent(5000, 1000), 100},
        {"before the start", folivo::PositionPercent(-4, 1000), 0},
        {"empty text", folivo::PositionPercent(700, 0), 0},
        // position * 100 no longer fits in 32 bits
        {"a large text", folivo::PositionPercent(2'000'000'000, 2'100'000'000), 95},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.what;
}

TEST(PreviewPercentTest, GoToValueStepsAndReadsWithinZeroToHundred)
{
    EXPECT_EQ(folivo::StepPercent(3, folivo::PercentStep::Thumb, 640), 100);
    EXPECT_EQ(folivo::PercentFromText("42x"), 42);
    EXPECT_EQ(folivo::PercentFromText("x1"), 0);
    EXPECT_EQ(folivo::PercentFromText("-5"), 0);
    EXPECT_EQ(folivo::PercentFromText("100"), 100);
    EXPECT_EQ(folivo::PercentFromText("99999999999"), 100);
}

}  // namespace
