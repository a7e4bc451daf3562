// EPUB books, HTML documents and Palm databases, converted by the command line.
#include "CliRun.h"
#include "EpubFiles.h"

#include <palm/EbookWriters.h>

#include <gtest/gtest.h>

using namespace clitest;

namespace {

std::size_t ReadU32(const std::string& bytes, std::size_t at)
{
    std::size_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

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

// A database is a document: its text, its name and its bookmarks go into
// the new database, never into its own file unless -o names it.
TEST(Books, ADatabaseConvertsWithItsNameAndBookmarks)
{
    Sandbox box;
    std::string text;
    for (int chapter = 1; chapter <= 5; ++chapter)
        text += "CHAPTER " + std::to_string(chapter) + "\r\nIt was a caf\xE9 day.\r\n\r\n";
    box.Document("old.txt", text);
    RunResult run =
        box.Run({"convert", "--format", "ztxt", "--title", "Old Book", "--bookmarks", "^chapter", "old.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string ztxt = ReadBytes(box.Docs() / "old.pdb");
    const palm::EbookInfo old = ReadDatabase(box.Docs() / "old.pdb");
    ASSERT_EQ(old.bookmarks.size(), 5u);

    run = box.Run({"convert", "--block-size", "1", "--join-lines", "old.pdb"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(box.Docs() / "old.pdb"), ztxt);
    palm::EbookInfo info = ReadDatabase(box.Docs() / "old-converted.pdb");
    EXPECT_EQ(info.format, palm::EbookFormat::PalmDoc);
    EXPECT_EQ(info.title, "Old Book");
    EXPECT_EQ(info.recordSize, 1024u);
    // Each bookmark starts the line of its chapter, whose lines were joined.
    ASSERT_EQ(info.bookmarks.size(), 5u);
    for (std::size_t i = 0; i < info.bookmarks.size(); ++i) {
        EXPECT_EQ(info.bookmarks[i].name, old.bookmarks[i].name);
        EXPECT_EQ(info.text.substr(info.bookmarks[i].offset, 10), "CHAPTER " + std::to_string(i + 1) + " ");
    }

    // Named by -o, the database itself is replaced, as any output is.
    run = box.Run({"convert", "-o", "old.pdb", "old.pdb"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadDatabase(box.Docs() / "old.pdb").format, palm::EbookFormat::PalmDoc);
    EXPECT_EQ(ReadDatabase(box.Docs() / "old.pdb").bookmarks, old.bookmarks);
}

TEST(Books, DatabasesThatCannotBeReadAreRefusedOrSalvaged)
{
    Sandbox box;
    palm::BookContent content;
    content.title = "Cut";
    std::string text;
    for (int line = 0; line < 300; ++line)
        text += "Line " + std::to_string(line) + "\n";
    content.text = text;
    content.recordSize = 1024;
    content.bookmarks = {{"Start", 0}};
    std::string database;
    ASSERT_TRUE(palm::BuildPalmDoc(content, true, database).Ok());
    // The second text record starts with a copy from nowhere (distance 0).
    const std::size_t second = ReadU32(database, 78 + 2 * 8);
    database[second] = '\x80';
    database[second + 1] = '\x00';
    box.Document("cut.pdb", database);
    RunResult run = box.Run({"convert", "cut.pdb"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cut.pdb: the database is damaged: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("(--salvage converts what can be read)"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(box.Docs() / "cut-converted.pdb"));

    run = box.Run({"convert", "--salvage", "cut.pdb"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("warning: cut.pdb: part of the document is missing: the database is damaged"),
              std::string::npos)
        << run.err;
    const palm::EbookInfo info = ReadDatabase(box.Docs() / "cut-converted.pdb");
    EXPECT_GE(info.text.size(), 1024u);
    EXPECT_TRUE(text.starts_with(info.text));
    EXPECT_EQ(info.bookmarks, content.bookmarks);

    // A declared length the records do not give is no damage to a document.
    ASSERT_TRUE(palm::BuildPalmDoc(content, false, database).Ok());
    database[ReadU32(database, 78) + 7] = 1;
    box.Document("long.pdb", database);
    run = box.Run({"convert", "long.pdb"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadDatabase(box.Docs() / "long-converted.pdb").text, text);

    // A reader's own format under a Palm name is no book of ours.
    box.Document("other.prc", std::string(60, '\0') + "BOOKMOBI" + std::string(30, '\0'));
    run = box.Run({"convert", "other.prc"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("other.prc: the file is not a PalmDoc or zTXT database"), std::string::npos) << run.err;
}

// A bookmark inside a UTF-8 character moves to the start of its line, and
// the character is converted whole.
TEST(Books, ABookmarkInsideACharacterKeepsTheCharacter)
{
    Sandbox box;
    palm::BookContent content;
    content.text = "One\ncaf\xC3\xA9 two\n";
    content.bookmarks = {{"Two", 8}};
    std::string database;
    ASSERT_TRUE(palm::BuildPalmDoc(content, true, database).Ok());
    box.Document("utf8.pdb", database);
    const RunResult run = box.Run({"convert", "utf8.pdb"});
    ASSERT_EQ(run.status, 0) << run.err;
    const palm::EbookInfo info = ReadDatabase(box.Docs() / "utf8-converted.pdb");
    EXPECT_EQ(info.text, "One\ncaf\xE9 two\n");
    EXPECT_EQ(info.bookmarks, (std::vector<palm::StoredBookmark>{{"Two", 4}}));
}

}  // namespace
