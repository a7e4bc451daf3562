#include "ScratchFolder.h"

#include <core/BookmarkFile.h>
#include <core/TempFiles.h>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(BookmarkFileTest, GeneratedEntriesAsPositionSpaceNameCrLf)
{
    std::string text(1300, 'x');
    for (int i = 0; i < 40; ++i)
        text[100 + i * 2] = '\r';
    BookmarkList list;
    list.Add("Manual", 3, false);
    list.Add("Intro", 0, true);
    list.Add("Part2", 1200, true);

    EXPECT_EQ(BookmarkFileText(list, DocumentFormat::PalmDoc, text.c_str()), "0 Intro\r\n1200 Part2\r\n");
    EXPECT_EQ(BookmarkFileText(list, DocumentFormat::PrepareOnly, text.c_str()), "0 Intro\r\n1200 Part2\r\n");
    EXPECT_EQ(BookmarkFileText(list, DocumentFormat::zTXT, text.c_str()), "0 Intro\r\n1160 Part2\r\n");

    // A name stays on its line; a CR in it is kept as stored.
    BookmarkList odd;
    odd.Add("\n", 0, true);
    odd.Add("\r", 5, true);
    EXPECT_EQ(BookmarkFileText(odd, DocumentFormat::PalmDoc, text.c_str()), "0 \r\n5 \r\r\n");
}

class TempFolderTest : public ::testing::Test {
protected:
    ScratchFolder tmp, temp, source;
    ScopedEnv tmpVar{"TMP", tmp.Path().string()};
    ScopedEnv tempVar{"TEMP", temp.Path().string()};
    std::string sourcePath = (source.Path() / "book.txt").string();
};

TEST_F(TempFolderTest, FolderRuleIsTmpThenTempThenTheSystemFolder)
{
    EXPECT_EQ(TemporaryFolder(), tmp.Path().string());
    ScopedEnv noTmp("TMP", "");
    EXPECT_EQ(TemporaryFolder(), temp.Path().string());
    ScopedEnv noTemp("TEMP", std::nullopt);
    EXPECT_FALSE(TemporaryFolder().empty());
}

TEST_F(TempFolderTest, BookmarkFileGoesToTheTemporaryFolderElseTheSourceFolder)
{
    BookmarkList list;
    list.Add("Manual", 3, false);
    CString first = WriteBookmarkFile(list, DocumentFormat::PalmDoc, "text", sourcePath);
    CString second = WriteBookmarkFile(list, DocumentFormat::PalmDoc, "text", sourcePath);
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(std::filesystem::path(first).parent_path(), tmp.Path());
    EXPECT_EQ(ReadBytes(first), "");  // only manual entries: an empty file

    // A TMP that names a file, not a folder, cannot take the file.
    ScopedEnv badTmp("TMP", (source.Path() / "book.txt").string());
    WriteBytes(source.Path() / "book.txt", "source");
    list.Add("Gen", 0, true);
    CString fallback = WriteBookmarkFile(list, DocumentFormat::PalmDoc, "text", sourcePath);
    EXPECT_EQ(std::filesystem::path(fallback).parent_path(), source.Path());
    EXPECT_EQ(ReadBytes(fallback), "0 Gen\r\n");
}

TEST_F(TempFolderTest, NeitherFolderWritableIsAClearFailure)
{
    ScopedEnv badTmp("TMP", (tmp.Path() / "missing").string());
    CString path = WriteBookmarkFile(BookmarkList(), DocumentFormat::zTXT, "", (source.Path() / "gone" / "b.txt").string());
    EXPECT_EQ(path, "");
    EXPECT_TRUE(std::filesystem::is_empty(tmp.Path()));
    EXPECT_TRUE(std::filesystem::is_empty(source.Path()));
}

TEST_F(TempFolderTest, PreparedTextIsWrittenWhole)
{
    std::string bytes("a\0b\r\n\xFF", 6);
    CString path = WriteTemporaryFile(bytes, "");
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(ReadBytes(path), bytes);
}

}  // namespace
