// The places a document names itself (headings here) become bookmarks at the
// start of their line, whatever the text rules do to the text around them.
#include "Databases.h"
#include "TestEnvironment.h"
#include "TestPages.h"

#include <core/ConversionJob.h>

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

TEST(DocumentPlaces, HeadingsMarkTheirLinesUnderEveryRuleSet)
{
    DocumentSandbox box;
    IsolatedStore store;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TestPages pages = RandomRules(seed);
        // The reference: where the markers end up, each line counted once.
        std::string marked = box.Document("marked.htm", RandomBook(seed, kMarker));
        BookmarkList ignored;
        ConversionJob reference(ignored);
        reference.SetPages(&pages);
        ASSERT_EQ(reference.RunConversion(marked, "", "M", DocumentFormat::PrepareOnly, 4, 1), kConversionDone);
        const std::string text = ReadBytes(reference.textFilePath);
        reference.DeleteTextFile();
        std::vector<std::int32_t> expected;
        std::int32_t markersBefore = 0;
        for (std::size_t at = text.find(kMarker); at != std::string::npos; at = text.find(kMarker, at + 1)) {
            const std::size_t lineStart =
                text.find_last_of("\r\n", at) == std::string::npos ? 0 : text.find_last_of("\r\n", at) + 1;
            const auto markersInLine = static_cast<std::int32_t>(
                std::count(text.begin() + static_cast<std::ptrdiff_t>(lineStart), text.begin() + at, kMarker));
            const std::int32_t position = static_cast<std::int32_t>(lineStart) - (markersBefore - markersInLine);
            if (expected.empty() || expected.back() != position)
                expected.push_back(position);
            ++markersBefore;
        }

        BookmarkList bookmarks;
        ConversionJob job(bookmarks);
        job.SetPages(&pages);
        const std::string plain = box.Document("plain.htm", RandomBook(seed, 0));
        ASSERT_EQ(job.RunConversion(plain, "", "P", DocumentFormat::PrepareOnly, 4, 1), kConversionDone);
        job.DeleteTextFile();
        std::vector<std::int32_t> positions;
        for (int i = 0; i < bookmarks.Count(); ++i) {
            positions.push_back(bookmarks.At(i)->position);
            EXPECT_TRUE(bookmarks.At(i)->name.starts_with("Part")) << bookmarks.At(i)->name;
        }
        EXPECT_EQ(positions, expected);
        EXPECT_EQ(job.LastReport().contentsBookmarks, bookmarks.Count());
    }
}

}  // namespace
