// Every book of the corpus through the whole job, in both formats and
// under several text rules, read back through our own readers.
#include "Databases.h"
#include "TestEnvironment.h"
#include "TestPages.h"

#include <core/ConversionJob.h>
#include <core/WizardPages.h>
#include <palm/EbookReader.h>

#include <gtest/gtest.h>

#include <regex>

namespace fs = std::filesystem;

using namespace folivo;

namespace {

struct Combination {
    const char* name;
    DocumentFormat format;
    void (*set)(TextPageState&);
};

const Combination kCombinations[] = {
    {"palmdoc-as-is", DocumentFormat::PalmDoc, [](TextPageState&) {}},
    {"ztxt-as-is", DocumentFormat::zTXT, [](TextPageState&) {}},
    {"palmdoc-html-joined", DocumentFormat::PalmDoc,
     [](TextPageState& t) {
         t.html = t.single = 1;
         t.removeNone = 0;
         t.removeCR = 1;
     }},
    {"ztxt-cr-to-lf-tabs", DocumentFormat::zTXT,
     [](TextPageState& t) {
         t.tabs = 1;
         t.translateNone = 0;
         t.translateCR = 1;
     }},
};

struct Expected {
    std::uint32_t offset;
    std::string name;
};

// The bookmarks a reader should find, worked out line by line with another
// regular-expression engine: lines end at LF, and the name is at most 15
// bytes of the line without its line break.
std::vector<Expected> ExpectedBookmarks(const std::string& text)
{
    static const std::regex heading("^(chapter|book|adventure) [ivxlc0-9]+", std::regex::icase);
    std::vector<Expected> found;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (std::regex_search(line, heading))
            found.push_back({static_cast<std::uint32_t>(start), line.substr(0, 15)});
        start = end + 1;
    }
    return found;
}

TEST(CorpusConversion, EveryBookInEveryCombination)
{
    const std::vector<fs::path> books = CorpusBooks();
    ASSERT_FALSE(books.empty()) << "no books in " FOLIVO_TEST_CORPUS_DIR;

    IsolatedStore store;
    ScratchFolder root;
    fs::create_directories(root.Path() / "tmp");
    ScopedEnv tmp("TMP", (root.Path() / "tmp").string());
    std::size_t bookmarksSeen[std::size(kCombinations)] = {};

    for (const fs::path& book : books) {
        for (std::size_t k = 0; k < std::size(kCombinations); ++k) {
            const Combination& c = kCombinations[k];
            SCOPED_TRACE(book.filename().string() + " " + c.name);
            TestPages pages;
            pages.patterns = "^(chapter|book|adventure) [ivxlc0-9]+";
            pages.documentExists = false;
            c.set(pages.text);
            // The HTML books' bytes as they are: laying them out is tested apart.
            pages.text.htmlLayout = 0;
            BookmarkList bookmarks;
            ConversionJob job(bookmarks);
            job.SetPages(&pages);
            const fs::path output = root.Path() / "out.pdb";
            ASSERT_EQ(job.RunConversion(book.string(), output.string(), "Book", c.format,
                                        c.format == DocumentFormat::PalmDoc ? 4 : 8, 1),
                      kConversionDone);
            std::string prepared = ReadBytes(job.textFilePath);
            ASSERT_EQ(prepared.size(), job.LastReport().preparedLength);

            palm::EbookInfo info;
            const palm::Result read = palm::ReadEbookFile(output.string(), info);
            ASSERT_TRUE(read.Ok()) << palm::Message(read);

            std::vector<Expected> expected = ExpectedBookmarks(prepared);
            if (c.format == DocumentFormat::zTXT) {
                // Each CR LF before a bookmark moves it back a byte; the
                // bookmarks are in offset order, so the count carries on.
                std::uint32_t pairs = 0;
                std::size_t at = prepared.find("\r\n");
                for (Expected& e : expected) {
                    for (; at < e.offset; at = prepared.find("\r\n", at + 1))
                        ++pairs;
                    e.offset -= pairs;
                }
                prepared = WithLfBreaks(prepared);
            }
            ASSERT_EQ(info.text.size(), prepared.size());
            EXPECT_TRUE(info.text == prepared) << "decoded text differs from the prepared text";
            ASSERT_EQ(info.bookmarks.size(), expected.size());
            for (std::size_t i = 0; i < expected.size(); ++i) {
                EXPECT_EQ(info.bookmarks[i].offset, expected[i].offset) << i;
                EXPECT_EQ(info.bookmarks[i].name, expected[i].name) << i;
            }
            bookmarksSeen[k] += expected.size();
            job.DeleteTextFile();
            EXPECT_TRUE(fs::is_empty(root.Path() / "tmp"));
        }
    }
    // The pattern must have found chapters under every set of rules, not
    // just agreed on none.
    for (std::size_t k = 0; k < std::size(kCombinations); ++k)
        EXPECT_GT(bookmarksSeen[k], 0u) << kCombinations[k].name;
}

}  // namespace
