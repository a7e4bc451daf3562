// EPUB books and HTML documents, converted by the command line.
#include "CliRun.h"
#include "EpubFiles.h"

#include <gtest/gtest.h>

using namespace clitest;

namespace {

std::vector<std::pair<std::uint32_t, std::string>> Bookmarks(const palm::EbookInfo& info)
{
    std::vector<std::pair<std::uint32_t, std::string>> marks;
    for (const palm::StoredBookmark& b : info.bookmarks)
        marks.push_back({b.offset, b.name});
    return marks;
}

TEST(Books, AnEpubBookGivesItsTitleItsTextAndAChapterBookmarkEach)
{
    Sandbox box;
    box.Document("stories.epub", epubtest::Zip(epubtest::SmallBook(), box.Docs()));
    RunResult run = box.Run({"convert", "--format", "ztxt", "stories.epub"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    palm::EbookInfo info = ReadDatabase(box.Docs() / "stories.pdb");
    EXPECT_EQ(info.title, "Caf\xE9 Stories");
    EXPECT_EQ(info.text, "Chapter One\n\nIt began.\n\nChapter Two\n\nMore.\n\nLater on.\n\nA note.");
    EXPECT_EQ(Bookmarks(info), (std::vector<std::pair<std::uint32_t, std::string>>{
                                   {0, "One"}, {24, "Two"}, {44, "Two, later"}, {55, "Notes"}}));

    // With the pattern too, a line gets one bookmark, the contents' name.
    run = box.Run({"convert", "--title", "Mine", "--bookmarks", "^(chapter|more)", "stories.epub"});
    ASSERT_EQ(run.status, 0) << run.err;
    info = ReadDatabase(box.Docs() / "stories.pdb");
    EXPECT_EQ(info.title, "Mine");
    EXPECT_EQ(Bookmarks(info), (std::vector<std::pair<std::uint32_t, std::string>>{
                                   {0, "One"}, {24, "Two"}, {37, "More."}, {44, "Two, later"}, {55, "Notes"}}));
    run = box.Run({"convert", "--no-contents-bookmarks", "stories.epub"});
    EXPECT_TRUE(ReadDatabase(box.Docs() / "stories.pdb").bookmarks.empty());
}

TEST(Books, BooksThatCannotBeReadInFullAreToldOf)
{
    Sandbox box;
    epubtest::Entries entries = epubtest::SmallBook();
    entries.push_back({"META-INF/encryption.xml",
                       "<encryption xmlns:enc='http://www.w3.org/2001/04/xmlenc#'><enc:EncryptedData>"
                       "<enc:EncryptionMethod Algorithm='x'/><enc:CipherData><enc:CipherReference "
                       "URI='OEBPS/text/one.xhtml'/></enc:CipherData></enc:EncryptedData></encryption>"});
    box.Document("locked.epub", epubtest::Zip(entries, box.Docs()));
    RunResult run = box.Run({"convert", "locked.epub"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("locked.epub: the EPUB book is protected (DRM)"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(box.Docs() / "locked.pdb"));

    // A missing chapter: the rest is converted, and the result is partial.
    entries = epubtest::SmallBook();
    entries.erase(entries.begin() + 4);
    box.Document("part.epub", epubtest::Zip(entries, box.Docs()));
    run = box.Run({"convert", "part.epub"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("part.epub: part of the document is missing: OEBPS/text/one.xhtml cannot be read"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(ReadDatabase(box.Docs() / "part.pdb").text.find("Chapter Two"), 0u);
}

TEST(Books, HtmlIsLaidOutWithItsHeadingsUnlessAskedNotTo)
{
    Sandbox box;
    box.Document("page.html", "<h1>One</h1><p>a\nb</p><h2>Two</h2><script>x()</script><p>c</p>");
    ASSERT_EQ(box.Run({"convert", "page.html"}).status, 0);
    palm::EbookInfo info = ReadDatabase(box.Docs() / "page.pdb");
    EXPECT_EQ(info.text, "One\n\na b\n\nTwo\n\nc");
    EXPECT_EQ(Bookmarks(info), (std::vector<std::pair<std::uint32_t, std::string>>{{0, "One"}, {10, "Two"}}));
    ASSERT_EQ(box.Run({"convert", "--no-html-layout", "page.html"}).status, 0);
    EXPECT_EQ(ReadDatabase(box.Docs() / "page.pdb").text,
              "<h1>One</h1><p>a\nb</p><h2>Two</h2><script>x()</script><p>c</p>");
}

}  // namespace
