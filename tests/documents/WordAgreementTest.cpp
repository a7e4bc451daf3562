// The HTML books of the corpus, laid out as text, have the words of their
// text editions; and the comparison that says so finds what differs.
#include "WordAgreement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

using namespace agreement;

namespace {

std::size_t Words(const Agreement& a, bool body)
{
    std::size_t n = 0;
    for (const Hunk& h : a.hunks)
        if ((h.region == Region::Body) == body)
            n += h.lost.size() + h.added.size();
    return n;
}

TEST(WordAgreement, WordsIgnoreWhatTheEditionsSetDifferently)
{
    using Paragraphs = std::vector<std::vector<std::string>>;
    const struct {
        const char* text;
        Paragraphs words;
    } cases[] = {
        {"_It_ \"don't\"\r\n\xE2\x80\x9C"
         "don\xE2\x80\x99t\xE2\x80\x9D.",
         {{"it", "dont", "dont"}}},
        {"one--two \xE2\x80\x94three-four", {{"one", "two", "three", "four"}}},
        // Words run together stay one: that is what a lost space looks like.
        {"end.Next end. Next", {{"endnext", "end", "next"}}},
        {"a\n \t\nb\n* * *\nc\n\n\n\xC3\x89T\xC3\x89 \xC5\x92uvre", {{"a"}, {"b", "c"}, {"ete", "oeuvre"}}},
        // Not UTF-8: Windows-1252, as the 8-bit editions are.
        {"\x93"
         "Caf\xE9\x94 \x97 na\xEFve",
         {{"cafe", "naive"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParagraphWords(c.text), c.words) << c.text;
}

TEST(WordAgreement, CommonSubsequenceIsALongestOne)
{
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        std::vector<int> a(random() % 40), b(random() % 40);
        const unsigned alphabet = 1 + random() % 4;
        for (int& x : a)
            x = static_cast<int>(random() % alphabet);
        for (int& x : b)
            x = static_cast<int>(random() % alphabet);
        std::vector<std::vector<std::size_t>> longest(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
        for (std::size_t i = a.size(); i-- > 0;)
            for (std::size_t j = b.size(); j-- > 0;)
                longest[i][j] =
                    a[i] == b[j] ? longest[i + 1][j + 1] + 1 : std::max(longest[i + 1][j], longest[i][j + 1]);
        const auto matches = CommonSubsequence(a, b);
        ASSERT_EQ(matches.size(), longest[0][0]) << round;
        for (std::size_t k = 0; k < matches.size(); ++k) {
            const auto [i, j] = matches[k];
            ASSERT_TRUE(i < a.size() && j < b.size() && a[i] == b[j]) << round;
            if (k > 0) {
                ASSERT_TRUE(i > matches[k - 1].first && j > matches[k - 1].second) << round;
            }
        }
    }
}

TEST(WordAgreement, DifferencesAreFoundAndPlaced)
{
    const std::string text = "Header words\n\n*** START OF IT ***\n\nOne two three.\n\nFour five\nsix.\n\n"
                             "Seven eight.\n\n*** END OF IT ***\n\nLicence here.\n";
    // Paragraphs broken differently agree; a glued word and a lost one do not.
    const std::string html = "Header\n\n*** START OF IT ***\n\nOne two three.\n\nFour\n\nfive six.\n\n"
                             "Seveneight.\n\n*** END OF IT ***\n\nLicence here. More.";
    const Agreement a = Compare(text, html);
    EXPECT_EQ(a.text.paragraphs, 7u);
    EXPECT_EQ(a.text.agreeing, 5u);
    EXPECT_EQ(a.text.whole, 3u);
    EXPECT_EQ(a.textBody.paragraphs, 3u);
    EXPECT_EQ(a.textBody.agreeing, 2u);
    EXPECT_EQ(a.html.paragraphs, 8u);
    EXPECT_EQ(a.html.agreeing, 6u);
    ASSERT_EQ(a.hunks.size(), 3u);
    EXPECT_EQ(a.hunks[0].region, Region::Header);
    EXPECT_EQ(a.hunks[0].lost, std::vector<std::string>{"words"});
    EXPECT_EQ(a.hunks[1].region, Region::Body);
    EXPECT_EQ(a.hunks[1].textParagraph, 4u);
    EXPECT_EQ(a.hunks[1].lost, (std::vector<std::string>{"seven", "eight"}));
    EXPECT_EQ(a.hunks[1].added, std::vector<std::string>{"seveneight"});
    EXPECT_EQ(a.hunks[2].region, Region::Footer);
    EXPECT_EQ(a.hunks[2].added, std::vector<std::string>{"more"});
}

// What the corpus's editions differ in besides the layout, as counted when
// the layout was last checked: words lost or added in the book itself and
// in Project Gutenberg's header and licence, and the book's paragraphs that
// the HTML breaks differently. The words are other spellings, prices in
// pounds, page furniture, tables of contents and title pages only the HTML
// has; no paragraph of the book is laid out in other places.
struct Known {
    const char* html;
    const char* text;
    std::size_t bodyWords, otherWords, bodyBrokenDifferently;
};
const Known kKnown[] = {
    {"alice-11-h.htm", "alice-11-0.txt", 85, 17, 1},
    {"alice-11-h.htm", "alice-11.txt", 85, 28, 1},
    {"pride-and-prejudice-1342-h.htm", "pride-and-prejudice-1342-0.txt", 129, 13, 1},
    {"sherlock-holmes-1661-h.htm", "sherlock-holmes-1661-8.txt", 62, 4, 5},
    {"verwandlung-22367-h.htm", "verwandlung-22367-8.txt", 61, 9, 2},
    {"war-and-peace-2600-h.htm", "war-and-peace-2600-0.txt", 0, 4, 0},
    {"war-and-peace-2600-h.htm", "war-and-peace-2600.txt", 181, 13, 4},
    {"yellow-wallpaper-1952-h.htm", "yellow-wallpaper-1952-0.txt", 0, 28, 0},
    {"yellow-wallpaper-1952-h.htm", "yellow-wallpaper-1952-cp1252.txt", 0, 28, 0},
    {"yellow-wallpaper-1952-h.htm", "yellow-wallpaper-1952.txt", 97, 26, 1},
};

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(WordAgreement, HtmlBooksOfTheCorpusHaveTheWordsOfTheirTextEditions)
{
    const std::vector<Editions> pairs = EditionPairs(FOLIVO_TEST_CORPUS_DIR);
    ASSERT_FALSE(pairs.empty()) << "no HTML book with a text edition in " FOLIVO_TEST_CORPUS_DIR;
    for (const auto& [html, text] : pairs) {
        SCOPED_TRACE(html.filename().string() + " and " + text.filename().string());
        const Agreement a = Compare(ReadFile(text), LaidOut(html));
        const auto known = std::find_if(std::begin(kKnown), std::end(kKnown), [&](const Known& k) {
            return html.filename() == k.html && text.filename() == k.text;
        });
        if (known == std::end(kKnown)) {
            // A book of another collection: nine in ten of its paragraphs at least.
            EXPECT_GE(a.textBody.agreeing * 10, a.textBody.paragraphs * 9);
            continue;
        }
        EXPECT_LE(Words(a, true), known->bodyWords);
        EXPECT_LE(Words(a, false), known->otherWords);
        EXPECT_LE(a.textBody.agreeing - a.textBody.whole, known->bodyBrokenDifferently);
    }
}

}  // namespace
