// Palm databases of every kind as documents: their text, name and bookmarks.
#include <documents/Document.h>
#include <palm/EbookWriters.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class Kind { Stored, Compressed, RandomAccess, EntireDocument };

TEST(PalmDatabase, EveryKindAndRecordSizeOpensWithItsTextAndBookmarks)
{
    std::string text;
    for (int line = 0; line < 2000; ++line)
        text += "Line " + std::to_string(line) + " of caf\xE9 talk\n";
    const std::vector<palm::StoredBookmark> some = {
        {"End", static_cast<std::uint32_t>(text.rfind("Line"))}, {"Start", 0}, {"Middle", 20000}};
    for (const Kind kind : {Kind::Stored, Kind::Compressed, Kind::RandomAccess, Kind::EntireDocument})
        for (const std::uint32_t recordSize : {1024u, 4096u, 31u * 1024})
            for (const bool withBookmarks : {false, true}) {
                SCOPED_TRACE(std::to_string(static_cast<int>(kind)) + " " + std::to_string(recordSize) + " " +
                             std::to_string(withBookmarks));
                palm::BookContent content;
                content.title = "Caf\xE9 talk";
                content.text = text;
                content.recordSize = recordSize;
                if (withBookmarks)
                    content.bookmarks = some;
                std::string database;
                const bool ztxt = kind == Kind::RandomAccess || kind == Kind::EntireDocument;
                ASSERT_TRUE((ztxt ? palm::BuildZtxt(content,
                                                    kind == Kind::RandomAccess ? palm::ZtxtMode::RandomAccess
                                                                               : palm::ZtxtMode::EntireDocument,
                                                    database)
                                  : palm::BuildPalmDoc(content, kind == Kind::Compressed, database))
                                .Ok());
                documents::Document document;
                // Known by its header whatever its name.
                ASSERT_EQ(documents::OpenDocument("book", std::move(database), {}, document), "");
                EXPECT_EQ(document.text, text);
                EXPECT_EQ(document.title, "Caf\xE9 talk");
                EXPECT_FALSE(document.laidOut);
                EXPECT_TRUE(document.warnings.empty());
                EXPECT_TRUE(document.marks.empty());
                std::vector<documents::Mark> expected;
                if (withBookmarks)
                    expected = {{0, "Start"}, {20000, "Middle"}, {some[0].offset, "End"}};
                EXPECT_EQ(document.bookmarks, expected);
            }
}

}  // namespace
