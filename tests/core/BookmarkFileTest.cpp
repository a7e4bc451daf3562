#include "TestEnvironment.h"

#include "BookmarkFile.h"
#include "TempFiles.h"

#include <gtest/gtest.h>

using namespace folivo;

namespace {

TEST(BookmarkFileTest, EveryEntryInPositionOrderAsPositionSpaceNameCrLf)
{
    std::string text(1300, 'x');
    for (int i = 0; i < 40; ++i) {
        text[100 + i * 2] = '\r';
        text[101 + i * 2] = '\n';
    }
    BookmarkList list;
    list.Add("Manual", 3, false);
    list.Add("Intro", 0, true);
    list.Add("Part2", 1200, true);
    list.Add("Also at 3", 3, true);
    const CString expected = "0 Intro\r\n3 Manual\r\n3 Also at 3\r\n1200 Part2\r\n";
    EXPECT_EQ(BookmarkFileText(list, DocumentFormat::PalmDoc, text.c_str()), expected);
    EXPECT_EQ(BookmarkFileText(list, DocumentFormat::PrepareOnly, text.c_str()), expected);
    EXPECT_EQ(BookmarkFileText(list, DocumentFormat::zTXT, text.c_str()),
              "0 Intro\r\n3 Manual\r\n3 Also at 3\r\n1160 Part2\r\n");
    // A CR of its own is a line break that zTXT keeps, as LF.
    for (int i = 0; i < 40; ++i)
        text[101 + i * 2] = 'x';
    EXPECT_EQ(BookmarkFileText(list, DocumentFormat::zTXT, text.c_str()), expected);

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
    std::filesystem::path sourcePath = source.Path() / "book.txt";
};

TEST_F(TempFolderTest, BookmarkFileGoesToTheTemporaryFolderElseTheSourceFolder)
{
    BookmarkList list;
    list.Add("Manual", 3, false);
    CString first, second;
    platform::RemovedOnInterrupt removal;
    ASSERT_FALSE(WriteBookmarkFile(list, DocumentFormat::PalmDoc, "text", sourcePath.string(), first, removal));
    ASSERT_FALSE(WriteBookmarkFile(list, DocumentFormat::PalmDoc, "text", sourcePath.string(), second, removal));
    EXPECT_NE(first, second);
    EXPECT_EQ(std::filesystem::path(first).parent_path(), tmp.Path());
    EXPECT_TRUE(std::filesystem::exists(first));
    EXPECT_EQ(ReadBytes(first), "3 Manual\r\n");

    // A TMP naming a file, not a folder, cannot take the file.
    WriteBytes(sourcePath, "source");
    ScopedEnv badTmp("TMP", sourcePath.string());
    list.Add("Gen", 0, true);
    CString fallback;
    ASSERT_FALSE(WriteBookmarkFile(list, DocumentFormat::PalmDoc, "text", sourcePath.string(), fallback, removal));
    EXPECT_EQ(std::filesystem::path(fallback).parent_path(), source.Path());
    EXPECT_EQ(ReadBytes(fallback), "0 Gen\r\n3 Manual\r\n");
}

TEST_F(TempFolderTest, NeitherFolderWritableIsAClearFailure)
{
    ScopedEnv badTmp("TMP", (tmp.Path() / "missing").string());
    CString nowhere;
    platform::RemovedOnInterrupt removal;
    const Error error = WriteBookmarkFile(BookmarkList(), DocumentFormat::zTXT, "",
                                          (source.Path() / "gone" / "b.txt").string(), nowhere, removal);
    EXPECT_TRUE(error);
    EXPECT_NE(error.Message().find("missing"), std::string::npos) << "names the folders: " << error.Message();
    EXPECT_TRUE(nowhere.empty());
    EXPECT_TRUE(std::filesystem::is_empty(tmp.Path()) && std::filesystem::is_empty(source.Path()));
    std::string bytes("a\0b\r\n\xFF", 6);
    CString path;
    ASSERT_FALSE(WriteTemporaryFile(bytes, source.Path().string(), path, removal));
    EXPECT_EQ(std::filesystem::path(path).parent_path(), source.Path());
    EXPECT_EQ(ReadBytes(path), bytes);
}

}  // namespace
