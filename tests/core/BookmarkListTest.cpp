#include <core/BookmarkList.h>
#include <core/LineRoutines.h>

#include <gtest/gtest.h>

#include <cstring>
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

TEST(LineRoutinesTest, LineStartAndLineEnd)
{
    const char* crlf = "Title\r\nChapter One\r\ntext";
    EXPECT_EQ(LineStart(crlf, crlf + 12) - crlf, 7);
    EXPECT_EQ(LineStart(crlf, crlf + 7) - crlf, 7);
    const char* lf = "ab\ncd\nef";
    EXPECT_EQ(LineStart(lf, lf + 7) - lf, 6);
    for (int p = 0; p <= 2; ++p)
        EXPECT_EQ(LineStart(lf, lf + p), lf);  // within two bytes of the start
    EXPECT_EQ(LineStart(lf, lf + 4) - lf, 3);
    EXPECT_EQ(LineStart("a\nbc", "a\nbc" + 3), "a\nbc" + 0);  // line start 2 is too close
    const char* cr = "one\rtwo three";
    EXPECT_EQ(LineStart(cr, cr + 10) - cr, 5);  // one byte after a lone CR's line start

    const char* text = "ab\r\ncd\nef\rgh";
    EXPECT_EQ(LineEnd(text) - text, 1);
    EXPECT_EQ(LineEnd(text + 2) - text, 2);
    EXPECT_EQ(LineEnd(text + 4) - text, 5);
    EXPECT_EQ(LineEnd(text + 7) - text, 11);  // a lone CR ends no line
    EXPECT_EQ(LineEnd(text + 12) - text, 12);
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
    for (std::size_t offset : {text.find("Chapter"), text.find("begins"), text.find("x\r"), text.find("\r\n\r\n") + 2})
        AddMatchBookmark(list, text.c_str(), text.size(), offset);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Chapter 1 begin", "x", "\r"}));  // 15 bytes at most
    EXPECT_EQ(list.At(0)->position, 7);
    EXPECT_TRUE(list.At(0)->generated);
    EXPECT_EQ(list.At(2)->position, static_cast<std::int32_t>(text.find("\r\n\r\n") + 2));
}

TEST(MatchBookmarkTest, EdgesOfTheText)
{
    const std::string text = "abc\nrest";
    BookmarkList list;
    for (std::size_t offset : {0u, 1u, 2u})
        AddMatchBookmark(list, text.c_str(), text.size(), offset);
    AddMatchBookmark(list, text.c_str(), text.size(), text.size());  // never names the closing NUL
    AddMatchBookmark(list, "a\n", 2, 2);
    AddMatchBookmark(list, "", 0, 0);
    AddMatchBookmark(list, text.c_str(), text.size(), text.size() + 1);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"abc", "rest", "a", ""}));
    EXPECT_EQ(list.At(0)->position, 0);
    EXPECT_EQ(list.At(3)->name.size(), 0u);
}

}  // namespace
