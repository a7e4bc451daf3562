#include <core/BookmarkList.h>
#include <core/LineRoutines.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<std::string> Names(const BookmarkList& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.At(i)->name);
    return names;
}

TEST(BookmarkListTest, AddComparesOnlyTheLastEntry)
{
    BookmarkList list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.Add("A", 0, true), 0);
    EXPECT_EQ(list.Add("A", 0, false), 0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(list.At(0)->generated);

    list.Add("B", 5, true);
    list.Add("A", 0, true);
    list.Add("A", 7, true);
    list.Add("a", 7, true);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B", "A", "A", "a"}));
    EXPECT_EQ(list.At(3)->position, 7);
}

TEST(BookmarkListTest, IndicesShiftAndBadIndicesChangeNothing)
{
    BookmarkList list;
    list.Add("M1", 0, false);
    list.Add("G1", 10, true);
    list.Add("M2", 20, false);
    list.Add("G2", 30, true);

    EXPECT_TRUE(list.Rename(1, "Renamed"));
    EXPECT_EQ(list.At(1)->position, 10);
    EXPECT_TRUE(list.At(1)->generated);
    EXPECT_TRUE(list.RemoveAt(0));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Renamed", "M2", "G2"}));

    EXPECT_FALSE(list.Rename(-1, "x"));
    EXPECT_FALSE(list.Rename(3, "x"));
    EXPECT_FALSE(list.RemoveAt(3));
    EXPECT_EQ(list.At(-1), nullptr);
    EXPECT_EQ(list.At(3), nullptr);
    EXPECT_EQ(list.Count(), 3);

    list.Add("M3", 40, false);
    list.RemoveGenerated();
    EXPECT_EQ(Names(list), (std::vector<std::string>{"M2", "M3"}));
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
}

TEST(BookmarkListTest, ProgramListIsOneObjectApartFromOthers)
{
    BookmarkList& shared = BookmarkList::Instance();
    shared.Clear();
    BookmarkList own;
    own.Add("own", 1, false);
    EXPECT_EQ(&shared, &BookmarkList::Instance());
    EXPECT_TRUE(shared.IsEmpty());
}

TEST(LineRoutinesTest, LineStartFindsTheLineAfterTheBreak)
{
    const char* crlf = "Title\r\nChapter One\r\ntext";
    EXPECT_EQ(LineStart(crlf, crlf + 12) - crlf, 7);
    EXPECT_EQ(LineStart(crlf, crlf + 7) - crlf, 7);
    EXPECT_EQ(LineStart(crlf, crlf + 22) - crlf, 20);
    const char* lf = "ab\ncd\nef";
    EXPECT_EQ(LineStart(lf, lf + 7) - lf, 6);
    // Within two bytes of the start the result is the start; the line after
    // "ab\n" starts at 3, which is kept.
    for (int p = 0; p <= 2; ++p)
        EXPECT_EQ(LineStart(lf, lf + p), lf);
    EXPECT_EQ(LineStart(lf, lf + 4) - lf, 3);
    EXPECT_EQ(LineStart("a\nbc", "a\nbc" + 3), "a\nbc" + 0);
    // Lone CR line ends stop one byte after the true line start.
    const char* cr = "one\rtwo three";
    EXPECT_EQ(LineStart(cr, cr + 10) - cr, 5);
}

TEST(LineRoutinesTest, LineEndStopsBeforeLfOrCrLfButNotALoneCr)
{
    const char* text = "ab\r\ncd\nef\rgh";
    EXPECT_EQ(LineEnd(text) - text, 1);
    EXPECT_EQ(LineEnd(text + 4) - text, 5);
    EXPECT_EQ(LineEnd(text + 7) - text, 11);
    EXPECT_EQ(LineEnd(text + 12) - text, 12);
    EXPECT_EQ(LineEnd(text + 2) - text, 2);  // the CR of CR LF is the last byte before LF
}

TEST(LineRoutinesTest, CountAndRemoveBytes)
{
    const char* text = "a\rb\r\nc\0\r\r";
    EXPECT_EQ(CountChar(text, text + 10, '\r'), 2);
    EXPECT_EQ(CountChar(text, text + 2, '\r'), 1);
    EXPECT_EQ(CountChar(text + 3, text, '\r'), 0);

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
    const std::string text = "Intro\r\nChapter 1 begins with a long, long line\r\nx\r\nChapter 2\r\n\r\nEnd";
    BookmarkList list;
    AddMatchBookmark(list, text.c_str(), text.size(), text.find("Chapter 1"));
    AddMatchBookmark(list, text.c_str(), text.size(), text.find("begins"));
    AddMatchBookmark(list, text.c_str(), text.size(), text.find("x\r"));
    AddMatchBookmark(list, text.c_str(), text.size(), text.find("Chapter 2"));
    AddMatchBookmark(list, text.c_str(), text.size(), text.find("\r\n\r\n") + 2);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.At(0)->name, "Chapter 1 begin");  // 15 bytes, not 16
    EXPECT_EQ(list.At(0)->position, 7);
    EXPECT_TRUE(list.At(0)->generated);
    EXPECT_EQ(list.At(1)->name, "x");
    EXPECT_EQ(list.At(2)->name, "Chapter 2");
    EXPECT_EQ(list.At(3)->name, "\r");  // an empty CR LF line
    EXPECT_EQ(list.At(3)->position, static_cast<std::int32_t>(text.find("\r\n\r\n") + 2));
}

TEST(MatchBookmarkTest, EdgesOfTheText)
{
    const std::string text = "abc\nrest";
    BookmarkList list;
    for (std::size_t offset : {0u, 1u, 2u})
        AddMatchBookmark(list, text.c_str(), text.size(), offset);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.At(0)->name, "abc");
    EXPECT_EQ(list.At(0)->position, 0);

    // A match at the very end names its line without the closing NUL.
    AddMatchBookmark(list, text.c_str(), text.size(), text.size());
    EXPECT_EQ(list.At(1)->name, "rest");
    const std::string lf = "a\n";
    AddMatchBookmark(list, lf.c_str(), lf.size(), lf.size());
    EXPECT_EQ(list.At(2)->name, "a");
    AddMatchBookmark(list, "", 0, 0);
    EXPECT_EQ(list.At(3)->name, "");
    EXPECT_EQ(list.At(3)->name.size(), 0u);

    AddMatchBookmark(list, text.c_str(), text.size(), text.size() + 1);
    EXPECT_EQ(list.Count(), 4);
}

}  // namespace
