#include "EpubFiles.h"
#include "TestFiles.h"

#include <documents/Document.h>

#include <gtest/gtest.h>

using documents::Document;
using documents::Mark;

namespace {

class EpubTest : public ::testing::Test {
protected:
    // Opens the book of `entries` as a converter would; gives why it failed.
    std::string Open(const epubtest::Entries& entries, Document& book, std::string name = "book.epub")
    {
        return documents::OpenDocument(name, epubtest::Zip(entries, m_scratch.Path()), {true, 1 << 20}, book);
    }

    epubtest::Entries Replaced(std::string name, std::string bytes)
    {
        epubtest::Entries entries = epubtest::SmallBook();
        for (auto& entry : entries)
            if (entry.first == name)
                entry.second = bytes;
        return entries;
    }

    ScratchFolder m_scratch;
};

TEST_F(EpubTest, TheSpineInReadingOrderWithTitleAndContents)
{
    Document book;
    ASSERT_EQ(Open(epubtest::SmallBook(), book, "any name"), "");
    EXPECT_EQ(book.text, "Chapter One\n\nIt began.\n\nChapter Two\n\nMore.\n\nLater on.\n\nA note.");
    EXPECT_EQ(book.title, "Caf\xC3\xA9 Stories");
    EXPECT_TRUE(book.laidOut);
    EXPECT_EQ(book.marks, (std::vector<Mark>{{0, "One"},
                                             {book.text.find("Chapter Two"), "Two"},
                                             {book.text.find("Later on"), "Two, later"},
                                             {book.text.find("A note"), "Notes"}}));
    EXPECT_TRUE(book.warnings.empty());
}

TEST_F(EpubTest, AnNcxGivesTheContentsOfAnEpub2Book)
{
    epubtest::Entries entries = epubtest::SmallBook();
    entries[2].second =
        epubtest::Package("Old",
                          "<item id='ncx' href='toc.ncx' media-type='application/x-dtbncx+xml'/>"
                          "<item id='c1' href='text/one.xhtml' media-type='application/xhtml+xml'/>"
                          "<item id='c2' href='text/two%20b.xhtml' media-type='application/xhtml+xml'/>",
                          "<itemref idref='c1'/><itemref idref='c2'/>", " toc='ncx'");
    entries.push_back({"OEBPS/toc.ncx",
                       "<?xml version='1.0'?><ncx xmlns='http://www.daisy.org/z3986/2005/ncx/'><navMap>"
                       "<navPoint id='a'><navLabel><text>First</text></navLabel><content src='text/one.xhtml'/>"
                       "<navPoint id='b'><navLabel><text>Inner</text></navLabel>"
                       "<content src='text/two%20b.xhtml#mid'/></navPoint></navPoint>"
                       "<navPoint id='c'><navLabel><text>Gone</text></navLabel><content src='text/none.xhtml'/>"
                       "</navPoint></navMap></ncx>"});
    Document book;
    ASSERT_EQ(Open(entries, book), "");
    EXPECT_EQ(book.title, "Old");
    EXPECT_EQ(book.marks, (std::vector<Mark>{{0, "First"}, {book.text.find("Later on"), "Inner"}}));
}

TEST_F(EpubTest, ProtectedBooksAreRefusedButObfuscatedFontsAreNot)
{
    const auto encryption = [](const std::string& algorithm, const std::string& uri) {
        return "<encryption xmlns='urn:oasis:names:tc:opendocument:xmlns:container' "
               "xmlns:enc='http://www.w3.org/2001/04/xmlenc#'><enc:EncryptedData><enc:EncryptionMethod Algorithm='" +
               algorithm + "'/><enc:CipherData><enc:CipherReference URI='" + uri +
               "'/></enc:CipherData></enc:EncryptedData></encryption>";
    };
    epubtest::Entries entries = epubtest::SmallBook();
    entries.push_back(
        {"META-INF/encryption.xml", encryption("http://www.w3.org/2001/04/xmlenc#aes128-cbc", "OEBPS/text/one.xhtml")});
    Document book;
    EXPECT_NE(Open(entries, book).find("protected"), std::string::npos);
    entries.back().second = encryption("http://www.idpf.org/2008/embedding", "OEBPS/fonts/a.otf");
    EXPECT_EQ(Open(entries, book), "");
}

TEST_F(EpubTest, DamagedAndHostileBooksAreToldOfAndStayInsideTheArchive)
{
    Document book;
    EXPECT_NE(documents::OpenDocument("x.epub", "not a zip at all", {true, 1 << 20}, book).find("zip"),
              std::string::npos);
    epubtest::Entries noContainer = epubtest::SmallBook();
    noContainer.erase(noContainer.begin() + 1);
    EXPECT_NE(Open(noContainer, book).find("META-INF/container.xml"), std::string::npos);
    EXPECT_NE(Open(Replaced("META-INF/container.xml", epubtest::Container("missing.opf")), book).find("missing.opf"),
              std::string::npos);

    // A chapter that is not there, or whose name leads out of the archive,
    // leaves the rest to read, with a word on what is missing.
    ASSERT_EQ(Open(Replaced("OEBPS/text/one.xhtml", ""), book), "");
    epubtest::Entries escaping = epubtest::SmallBook();
    escaping[2].second.replace(escaping[2].second.find("text/one.xhtml"), 14, "../../../../etc/passwd");
    ASSERT_EQ(Open(escaping, book), "");
    EXPECT_EQ(book.text.find("root:"), std::string::npos);
    ASSERT_EQ(book.warnings.size(), 1u);
    EXPECT_NE(book.warnings[0].find("\"c1\""), std::string::npos) << book.warnings[0];

    // External entities are not loaded; entity loops are refused.
    ASSERT_EQ(Open(Replaced("OEBPS/text/one.xhtml",
                            "<?xml version='1.0'?><!DOCTYPE html [<!ENTITY x SYSTEM 'file:///etc/passwd'>]>"
                            "<html><body><p>a&x;b</p></body></html>"),
                   book),
              "");
    EXPECT_EQ(book.text.find("root:"), std::string::npos);

    // An entry that inflates past every bound is a zip bomb.
    EXPECT_NE(Open(Replaced("OEBPS/text/one.xhtml", std::string(65u << 20, ' ')), book).find("inflates"),
              std::string::npos);
}

}  // namespace
