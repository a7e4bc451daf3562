// The places a document names itself (headings) and the bookmarks it holds
// (a database's) become bookmarks at the start of their line, whatever the
// text rules do to the text around them.
#include "Databases.h"
#include "TestEnvironment.h"
#include "TestPages.h"

#include <core/ConversionJob.h>
#include <palm/EbookWriters.h>

#include <gtest/gtest.h>

#include <random>

using namespace folivo;

namespace {

// A byte the layout, the character set and every text rule leave alone; the
// random books never hold it.
constexpr char kMarker = '~';

// An HTML book of random blocks whose headings start with `marker` (none: 0).
std::string RandomBook(unsigned seed, char marker)
{
    std::mt19937 random(seed);
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const char* words[] = {"caf\xC3\xA9",      "word",     "\xE2\x80\x9Cquoted\xE2\x80\x9D",
                           "a&amp;b",          "x&nbsp;y", "&#1;",
                           "tab\there",        "\r\n",     "line<br>break",
                           "\xF0\x9F\x98\x80", "&lt;p&gt;"};
    std::string html = "<html><head><title>T</title></head><body>\n";
    for (int block = 0; block < 30; ++block) {
        std::string text;
        for (std::size_t w = 1 + pick(6); w > 0; --w)
            text += std::string(words[pick(std::size(words))]) + ' ';
        switch (pick(5)) {
        case 0:
        case 1: {
            const std::string level = std::to_string(1 + pick(3));
            html += "<h" + level + ">" + (marker ? std::string(1, marker) : "") + "Part " + text + "</h" + level + ">";
            break;
        }
        case 2: html += "<p>" + text + "</p>\r\n"; break;
        case 3: html += "<table><tr><td>" + text + "</td><td>" + text + "</td></tr></table>"; break;
        default: html += "<pre>" + text + "\r\n\t" + text + "</pre>\n"; break;
        }
    }
    return html + "</body></html>";
}

TestPages RandomRules(unsigned seed)
{
    std::mt19937 random(seed * 7919u);
    const auto bit = [&] { return static_cast<std::uint32_t>(random() % 2); };
    TestPages pages;
    pages.documentExists = false;
    TextPageState& text = pages.text;
    const std::uint32_t removal = random() % 3, translation = random() % 3;
    text.removeCR = removal == 0;
    text.removeLF = removal == 1;
    text.removeNone = removal == 2;
    text.translateCR = translation == 0;
    text.translateLF = translation == 1;
    text.translateNone = translation == 2;
    text.tabs = bit();
    text.html = bit();
    text.ascii = bit();
    text.single = bit();
    text.charset = bit();
    return pages;
}

// A database's text of random words and line breaks, with `marker` before
// some words (none: 0). LF-only breaks when `lfOnly`, as zTXT stores them;
// the lone Windows-1252 byte of some seeds keeps the text as it is.
std::string RandomText(unsigned seed, char marker, bool lfOnly)
{
    std::mt19937 random(seed);
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const char* words[] = {seed % 3 ? "caf\xC3\xA9" : "caf\xE9", "word", "x&nbsp;y", "<b>bold</b>", "a\x01z", "tab\ty"};
    const char* breaks[] = {" ", " ", "\r\n", "\r\n\r\n", "\n", "\r"};
    std::string text;
    for (int w = 0; w < 200; ++w) {
        if (pick(4) == 0 && marker)
            text += marker;
        text += words[pick(std::size(words))];
        const std::string_view gap = breaks[pick(std::size(breaks))];
        text += lfOnly && gap != " " ? "\n" : gap;
    }
    return text;
}

// Runs a job without a database over `path` and gives the prepared text;
// the bookmarks it makes go to `bookmarks`.
std::string Prepared(const std::string& path, TestPages& pages, BookmarkList& bookmarks)
{
    ConversionJob job(bookmarks);
    job.SetPages(&pages);
    EXPECT_EQ(job.RunConversion(path, "", "T", DocumentFormat::PrepareOnly, 4, 1), kConversionDone);
    std::string text = ReadBytes(job.textFilePath);
    job.DeleteTextFile();
    return text;
}

// The reference: the start of the line each marker of `text` ends up on, in
// the text without the markers; each line counted once when `lineOnce`.
std::vector<std::int32_t> MarkedLines(const std::string& text, bool lineOnce)
{
    std::vector<std::int32_t> expected;
    std::int32_t markersBefore = 0;
    for (std::size_t at = text.find(kMarker); at != std::string::npos; at = text.find(kMarker, at + 1)) {
        const std::size_t lineStart =
            text.find_last_of("\r\n", at) == std::string::npos ? 0 : text.find_last_of("\r\n", at) + 1;
        const auto markersInLine = static_cast<std::int32_t>(
            std::count(text.begin() + static_cast<std::ptrdiff_t>(lineStart), text.begin() + at, kMarker));
        const std::int32_t position = static_cast<std::int32_t>(lineStart) - (markersBefore - markersInLine);
        if (!lineOnce || expected.empty() || expected.back() != position)
            expected.push_back(position);
        ++markersBefore;
    }
    return expected;
}

std::vector<std::int32_t> Positions(const BookmarkList& bookmarks, const char* namePrefix)
{
    std::vector<std::int32_t> positions;
    for (int i = 0; i < bookmarks.Count(); ++i) {
        positions.push_back(bookmarks.At(i)->position);
        EXPECT_TRUE(bookmarks.At(i)->name.starts_with(namePrefix)) << bookmarks.At(i)->name;
    }
    return positions;
}

TEST(DocumentPlaces, HeadingsMarkTheirLinesUnderEveryRuleSet)
{
    DocumentSandbox box;
    IsolatedStore store;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TestPages pages = RandomRules(seed);
        BookmarkList ignored, bookmarks;
        const std::vector<std::int32_t> expected =
            MarkedLines(Prepared(box.Document("marked.htm", RandomBook(seed, kMarker)), pages, ignored), true);
        Prepared(box.Document("plain.htm", RandomBook(seed, 0)), pages, bookmarks);
        EXPECT_EQ(Positions(bookmarks, "Part"), expected);
    }
}

// Every bookmark a database holds is kept, even where the rules bring two
// onto one line: they are the user's.
TEST(DocumentPlaces, DatabaseBookmarksKeepTheirLinesUnderEveryRuleSet)
{
    DocumentSandbox box;
    IsolatedStore store;
    for (unsigned seed = 1; seed <= 120; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TestPages pages = RandomRules(seed);
        const bool ztxt = seed % 2 == 0;
        const std::string marked = RandomText(seed, kMarker, ztxt);
        BookmarkList ignored, bookmarks;
        const std::vector<std::int32_t> expected =
            MarkedLines(Prepared(box.Document("marked.txt", marked), pages, ignored), false);

        palm::BookContent content;
        for (std::size_t at = marked.find(kMarker); at != std::string::npos; at = marked.find(kMarker, at + 1))
            content.bookmarks.push_back({"B" + std::to_string(content.bookmarks.size()),
                                         static_cast<std::uint32_t>(at - content.bookmarks.size())});
        std::string plain = marked;
        std::erase(plain, kMarker);
        content.text = plain;
        std::string database;
        ASSERT_TRUE((ztxt ? palm::BuildZtxt(content, palm::ZtxtMode::RandomAccess, database)
                          : palm::BuildPalmDoc(content, seed % 4 == 1, database))
                        .Ok());
        Prepared(box.Document("book.pdb", database), pages, bookmarks);
        EXPECT_EQ(Positions(bookmarks, "B"), expected);
    }
}

}  // namespace
