// The file writers through the C entry points: inputs, bookmark files, and
// replacing the output only when the new database is complete.
#include <gtest/gtest.h>
#include <unistd.h>

#include <palm/EbookReader.h>

#include "Databases.h"
#include "OutsideLibraries.h"
#include "PalmTestSupport.h"

namespace {

using palm::Status;

class WriterFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteBytes(textPath, text);
        WriteBytes(bookmarkPath, "0 Intro\r\n1200 Part2\r\n");
    }
    int WritePalmDoc(const std::string& output, const char* bookmarks = nullptr)
    {
        return FolivoWritePalmDoc(1, "Title", textPath.c_str(), output.c_str(),
                                  bookmarks ? bookmarks : bookmarkPath.c_str(), 5, 4096);
    }

    ScratchFolder folder;
    std::string text = palmtest::MixedBytes(10000, 3);
    std::string textPath = folder / "prepared.txt";
    std::string bookmarkPath = folder / "marks.txt";
};

TEST_F(WriterFiles, PalmDocTakesTheBookmarksInTheFileWhateverTheCount)
{
    const std::string output = folder / "book.pdb";
    EXPECT_EQ(WritePalmDoc(output), 0);
    const palm::EbookInfo info = ReadDatabase(output);
    EXPECT_EQ(info.title, "Title");
    EXPECT_EQ(info.text, text);
    const Marks expected = {{"Intro", 0}, {"Part2", 1200}};
    EXPECT_EQ(info.bookmarks, expected) << "count 5 names manual entries the file does not hold";

    WriteBytes(bookmarkPath, "");
    EXPECT_EQ(WritePalmDoc(output), 0);
    EXPECT_TRUE(ReadDatabase(output).bookmarks.empty());
}

TEST_F(WriterFiles, MalformedBookmarkLinesAreSkippedAndReported)
{
    WriteBytes(bookmarkPath, "10 Good one\nx12 bad\n13\n-4 negative\n99999999999 huge\n\n20 \r\n30 Last\r\n");
    const std::string output = folder / "book.pdb";
    EXPECT_EQ(WritePalmDoc(output), static_cast<int>(Status::BookmarkLinesSkipped));
    const Marks expected = {{"Good one", 10}, {"", 20}, {"Last", 30}};
    EXPECT_EQ(ReadDatabase(output).bookmarks, expected);

    EXPECT_EQ(WritePalmDoc(output, (folder / "absent.txt").c_str()), static_cast<int>(Status::BookmarkFileUnreadable));
    EXPECT_EQ(ReadDatabase(output).text, text) << "the book is written all the same";
}

TEST_F(WriterFiles, ZtxtJobWithoutBookmarkFile)
{
    const std::string output = folder / "book.pdb";
    ZtxtJob job{};
    job.textPath = textPath.c_str();
    job.outputPath = output.c_str();
    job.blockSize = 8192;
    job.title = "Z";
    job.mode = 1;
    EXPECT_EQ(FolivoWriteZtxt(&job), 0);
    palm::EbookInfo info = ReadDatabase(output);
    EXPECT_TRUE(info.bookmarks.empty());
    EXPECT_EQ(info.text, WithLfBreaks(text));

    job.bookmarkPath = bookmarkPath.c_str();
    job.mode = 2;
    EXPECT_EQ(FolivoWriteZtxt(&job), 0);
    info = ReadDatabase(output);
    EXPECT_EQ(info.compression, 2);
    EXPECT_EQ(info.bookmarks.size(), 2u);

    EXPECT_EQ(FolivoWriteZtxt(nullptr), static_cast<int>(Status::InvalidArgument));
}

TEST_F(WriterFiles, FailuresLeaveTheExistingDatabaseAndNoTemporaryFile)
{
    const std::string output = folder / "book.pdb";
    WriteBytes(output, "previous database");
    const std::size_t before = FileNamesIn(folder.Path()).size();

    EXPECT_EQ(
        FolivoWritePalmDoc(1, "T", (folder / "absent.txt").c_str(), output.c_str(), bookmarkPath.c_str(), 0, 4096),
        static_cast<int>(Status::TextFileUnreadable));
    EXPECT_EQ(FolivoWritePalmDoc(1, "T", folder.Path().c_str(), output.c_str(), bookmarkPath.c_str(), 0, 4096),
              static_cast<int>(Status::TextFileUnreadable))
        << "a folder is not a text file";
    EXPECT_EQ(FolivoWritePalmDoc(1, "T", textPath.c_str(), output.c_str(), bookmarkPath.c_str(), 0, 32 * 1024),
              static_cast<int>(Status::BlockSizeOutOfRange));
    EXPECT_EQ(FolivoWritePalmDoc(1, "T", textPath.c_str(), output.c_str(), bookmarkPath.c_str(), 0, 0),
              static_cast<int>(Status::BlockSizeOutOfRange));
    EXPECT_EQ(ReadBytes(output), "previous database");

    // The new file is complete before the rename fails on a folder in the way.
    std::filesystem::create_directory(folder / "taken.pdb");
    EXPECT_EQ(WritePalmDoc(folder / "taken.pdb"), static_cast<int>(Status::OutputWriteFailed));
    // A folder that is a regular file cannot hold the temporary file.
    EXPECT_EQ(WritePalmDoc(output + "/inside.pdb"), static_cast<int>(Status::OutputFolderUnwritable));
    EXPECT_EQ(ReadBytes(output), "previous database");
    EXPECT_EQ(FileNamesIn(folder.Path()).size(), before + 1) << "only the folder made above";
}

TEST_F(WriterFiles, ReadOnlyFolderKeepsTheOldDatabase)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    const std::string locked = folder / "locked";
    std::filesystem::create_directory(locked);
    WriteBytes(locked + "/book.pdb", "previous database");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(WritePalmDoc(locked + "/book.pdb"), static_cast<int>(Status::OutputFolderUnwritable));
    EXPECT_EQ(ReadBytes(locked + "/book.pdb"), "previous database");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}

TEST(ResultMessages, SayWhatHappened)
{
    EXPECT_EQ(palm::Message({Status::TextFileUnreadable, "a.txt: No such file or directory"}),
              "The text file cannot be read: a.txt: No such file or directory.");
}

}  // namespace
