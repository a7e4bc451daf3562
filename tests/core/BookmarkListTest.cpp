#include <core/BookmarkList.h>
#include <core/LineRoutines.h>
#include <core/TextLines.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace folivo;

namespace {

// A list holding `entries`, each added in turn (so Add's rule applies).
BookmarkList ListOf(std::initializer_list<Bookmark> entries)
{
    BookmarkList list;
    for (const Bookmark& b : entries)
        list.Add(b.name, b.position, b.generated);
    return list;
}

std::vector<std::string> Names(const BookmarkList& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.At(i)->name);
    return names;
}

TEST(BookmarkListTest, AddComparesOnlyTheLastEntry)
{
    const BookmarkList list =
        ListOf({{"A", 0, true}, {"A", 0, false}, {"B", 5, true}, {"A", 0, true}, {"A", 7, true}, {"a", 7, true}});
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B", "A", "A", "a"}));
    EXPECT_TRUE(list.At(0)->generated);
    EXPECT_EQ(list.At(3)->position, 7);
}

TEST(BookmarkListTest, IndicesShiftAndBadIndicesChangeNothing)
{
    BookmarkList list = ListOf({{"M1", 0, false}, {"G1", 10, true}, {"M2", 20, false}, {"G2", 30, true}});
    EXPECT_TRUE(list.Rename(1, "Renamed"));
    EXPECT_TRUE(list.RemoveAt(0));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Renamed", "M2", "G2"}));
    EXPECT_EQ(list.At(0)->position, 10);
    EXPECT_FALSE(list.Rename(-1, "x") || list.Rename(3, "x") || list.RemoveAt(3));
    EXPECT_EQ(list.At(-1), nullptr);
    EXPECT_EQ(list.At(3), nullptr);

    list.Add("M3", 40, false);
    list.RemoveGenerated();
    EXPECT_EQ(Names(list), (std::vector<std::string>{"M2", "M3"}));
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(&BookmarkList::Instance(), &BookmarkList::Instance());
}

TEST(LineRoutinesTest, LineStartAndLineEndInEveryLineBreakStyle)
{
    struct Case {
        const char* text;
        int at;
        int start;  // LineStart(text, text + at)
        int end;    // LineEnd(text + start)
    };
    const Case cases[] = {
        {"Title\r\nChapter One\r\ntext", 12, 7, 17},
        {"Title\r\nChapter One\r\ntext", 7, 7, 17},
        {"Title\r\nChapter One\r\ntext", 19, 7, 17},  // the LF of CR LF ends the line its CR ends
        {"ab\ncd\nef", 7, 6, 7},
        {"ab\ncd\nef", 0, 0, 1},
        {"ab\ncd\nef", 2, 0, 1},
        {"ab\ncd\nef", 4, 3, 4},
        {"a\nbc", 3, 2, 3},             // a line start near the text's start
        {"one\rtwo three", 10, 4, 12},  // after a lone CR
        {"one\rtwo", 3, 0, 2},
        {"one\n\rtwo\n\rend", 7, 5, 7},  // LF CR is two breaks
        {"one\n\rtwo\n\rend", 4, 4, 4},  // the empty line between them
        {"ab\r\ncd\nef\rgh", 2, 0, 1},
        {"ab\r\ncd\nef\rgh", 7, 7, 8},     // a lone CR ends a line
        {"ab\r\ncd\nef\rgh", 12, 10, 11},  // the closing NUL
        {"ab\0cd\nx", 4, 0, 1},            // a NUL is no line break
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LineStart(c.text, c.text + c.at) - c.text, c.start) << c.text << " at " << c.at;
        EXPECT_EQ(LineEnd(c.text + c.start) - c.text, c.end) << c.text << " at " << c.at;
    }
    const char* text = "Chapter One is long";
    EXPECT_EQ(LineEnd(text, text + 4) - text, 4);
    EXPECT_EQ(LineEnd(text + 2, text + 19) - text, 18);
    EXPECT_EQ(LineEnd(text + 19) - text, 19);
}

// Every position of texts made of letters, both line-break bytes and NUL
// lies on the line the preview shows it on, asked at random or in the
// forward order of a scan.
TEST(LineRoutinesTest, LineStartAgreesWithThePreviewsLines)
{
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (std::uint32_t i = next(40); i > 0; --i)
            text += "ab\r\n\0"[next(5)];
        const TextLines lines(text);
        LineLocator scan(text.c_str());
        for (std::size_t p = 0; p <= text.size(); p += next(3)) {
            const int expected = lines.Start(lines.LineOf(static_cast<std::int32_t>(p)));
            ASSERT_EQ(LineStart(text.c_str(), text.c_str() + p) - text.c_str(), expected) << round << " at " << p;
            ASSERT_EQ(scan.LineStart(text.c_str() + p) - text.c_str(), expected) << round << " at " << p;
            if (next(8) == 0)
                p -= std::min(p, static_cast<std::size_t>(next(12)));  // a scan may go back
        }
    }
}

TEST(LineRoutinesTest, CountAndRemoveBytes)
{
    const char* text = "a\rb\r\nc\0\r\r";
    EXPECT_EQ(CountChar(text, text + 10, '\r'), 2);
    EXPECT_EQ(CountChar(text, text + 2, '\r'), 1);
    char buffer[] = "\r\nName\r\n";
    RemoveChar(buffer, '\r');
    EXPECT_EQ(std::memcmp(buffer, "\nName\n\0\0", sizeof buffer), 0);
    CString name = "\r\nName\r\n";
    RemoveChar(name, '\n');
    RemoveChar(name, '\r');
    EXPECT_EQ(name, "Name");
}

TEST(MatchBookmarkTest, OneEntryPerMatchedLineNamedByItsStart)
{
    const std::string text = "Intro\r\nChapter 1 begins with a long line\r\nx\r\n\r\nEnd";
    BookmarkList list;
    MatchBookmarks scan(list, text.c_str(), text.size());
    for (std::size_t offset : {text.find("Chapter"), text.find("begins"), text.find("x\r"), text.find("\r\n\r\n") + 2})
        scan.Add(offset);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Chapter 1 begin", "x", "\r"}));  // 15 bytes at most
    EXPECT_EQ(list.At(0)->position, 7);
    EXPECT_TRUE(list.At(0)->generated);
    EXPECT_EQ(list.At(2)->position, static_cast<std::int32_t>(text.find("\r\n\r\n") + 2));
}

// The line a match is on, named from that line, whatever the line breaks.
TEST(MatchBookmarkTest, EveryLineBreakStyleMarksTheMatchedLine)
{
    for (const std::string br : {"\n", "\r", "\r\n", "\n\r"}) {
        const std::string text = "Chapter 1" + br + "line a" + br + "Chapter 2" + br + "end" + br;
        BookmarkList list;
        MatchBookmarks scan(list, text.c_str(), text.size());
        scan.Add(0);
        scan.Add(text.find("Chapter 2") + 3);
        EXPECT_EQ(Names(list), (std::vector<std::string>{"Chapter 1", "Chapter 2"})) << br.size();
        EXPECT_EQ(list.At(1)->position, static_cast<std::int32_t>(text.find("Chapter 2")));
    }
}

TEST(MatchBookmarkTest, EdgesOfTheText)
{
    const std::string text = "abc\nrest";
    BookmarkList list;
    MatchBookmarks scan(list, text.c_str(), text.size());
    for (std::size_t offset : {0u, 1u, 2u})
        scan.Add(offset);
    scan.Add(text.size());  // never names the closing NUL
    scan.Add(text.size() + 1);
    MatchBookmarks(list, "a\n", 2).Add(2);  // the empty "line" after the last break is none
    MatchBookmarks(list, "a\r\n", 3).Add(3);
    MatchBookmarks(list, "\nb", 2).Add(1);
    MatchBookmarks(list, "", 0).Add(0);
    MatchBookmarks(list, "ab\0cd\n", 6).Add(3);  // a name ends at a NUL
    EXPECT_EQ(Names(list), (std::vector<std::string>{"abc", "rest", "b", "", "ab"}));
    EXPECT_EQ(list.At(0)->position, 0);
    EXPECT_EQ(list.At(2)->position, 1);
}

}  // namespace
