#include <platform/Files.h>
#include <platform/Paths.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "TestEnvironment.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;

TEST(ReadWholeFile, ReadsRegularFilesAndRefusesEverythingElseWithoutBlocking)
{
    ScratchFolder scratch;
    const std::string book = scratch / "book.txt";
    WriteBytes(book, std::string("one\0two", 7));
    std::string bytes;
    ASSERT_FALSE(platform::ReadWholeFile(book, bytes));
    EXPECT_EQ(bytes, std::string("one\0two", 7));
    EXPECT_GT(bytes.capacity(), bytes.size()) << "room for a terminating zero";

    const platform::FileError tooLarge = platform::ReadWholeFile(book, bytes, 6);
    EXPECT_EQ(tooLarge.code, EFBIG);
    EXPECT_TRUE(bytes.empty());

    EXPECT_EQ(platform::ReadWholeFile(scratch / "missing", bytes).code, ENOENT);
    EXPECT_TRUE(platform::ReadWholeFile(scratch.Path().string(), bytes).notRegularFile);
    // A pipe without a writer would block a plain read forever.
    const std::string fifo = scratch / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const platform::FileError pipe = platform::ReadWholeFile(fifo, bytes);
    EXPECT_TRUE(pipe.notRegularFile);
    EXPECT_EQ(pipe.Message(), fifo + ": not a regular file");
}

TEST(ReadAll, ReadsAStreamToItsEndWithinTheLimit)
{
    // Larger than the first buffer a stream gets, so that it has to grow.
    const std::string sent(200 * 1024 + 7, 'x');
    // The refused read closes its end while the writer may still be writing.
    std::signal(SIGPIPE, SIG_IGN);
    for (const std::size_t limit : {sent.size(), sent.size() - 1}) {
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        std::thread writer([&] {
            platform::WriteAll(ends[1], sent);
            ::close(ends[1]);
        });
        std::string bytes;
        const platform::FileError error = platform::ReadAll(ends[0], bytes, limit);
        ::close(ends[0]);
        writer.join();
        if (limit == sent.size()) {
            EXPECT_FALSE(error) << error.Message();
            EXPECT_EQ(bytes, sent);
            EXPECT_GT(bytes.capacity(), bytes.size()) << "room for a terminating zero";
        } else {
            EXPECT_EQ(error.code, EFBIG);
            EXPECT_TRUE(bytes.empty());
        }
    }
}

TEST(ReadWholeFile, FromADescriptorReadsFromTheStartAndLeavesItsOffset)
{
    ScratchFolder scratch;
    const std::string book = scratch / "book.txt";
    WriteBytes(book, "whole text");
    const platform::Descriptor fd(::open(book.c_str(), O_RDONLY));
    ASSERT_EQ(::lseek(fd.Get(), 6, SEEK_SET), 6);
    std::string bytes;
    ASSERT_FALSE(platform::ReadWholeFile(fd.Get(), bytes));
    EXPECT_EQ(bytes, "whole text");
    EXPECT_EQ(::lseek(fd.Get(), 0, SEEK_CUR), 6);
    EXPECT_EQ(platform::ReadWholeFile(fd.Get(), bytes, 9).code, EFBIG);
    const platform::Descriptor folder(::open(scratch.Path().c_str(), O_RDONLY | O_DIRECTORY));
    EXPECT_TRUE(platform::ReadWholeFile(folder.Get(), bytes).notRegularFile);
    EXPECT_EQ(platform::ReadWholeFile(-1, bytes).code, EBADF);
}

TEST(ReplaceFile, ReplacesWholeKeepsModeAndLinksAndLeavesNothingBehind)
{
    ScratchFolder scratch;
    const std::string target = scratch / "book.pdb";
    ASSERT_FALSE(platform::ReplaceFile(target, "new", 0644, ".t-"));
    EXPECT_EQ(ReadBytes(target), "new");

    ::chmod(target.c_str(), 0600);
    ASSERT_FALSE(platform::ReplaceFile(target, "newer", 0644, ".t-"));
    EXPECT_EQ(ReadBytes(target), "newer");
    EXPECT_EQ(ModeOf(target), 0600u) << "an existing file keeps its permission bits";

    const std::string link = scratch / "link.pdb";
    fs::create_symlink("book.pdb", link);
    ASSERT_FALSE(platform::ReplaceFile(link, "through the link", 0644, ".t-"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "through the link");
    EXPECT_EQ(FileNamesIn(scratch.Path()).size(), 2u) << "no temporary file left";
}

TEST(ReplaceFile, RefusesWhatIsNotARegularFile)
{
    ScratchFolder scratch;
    const std::string fifo = scratch / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = scratch / "folder";
    fs::create_directory(folder);
    const std::string linkToFolder = scratch / "link";
    fs::create_directory_symlink("folder", linkToFolder);

    for (const std::string& path : {fifo, folder, linkToFolder}) {
        const platform::FileError error = platform::ReplaceFile(path, "x", 0644, ".t-");
        EXPECT_TRUE(error.notRegularFile) << path;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(linkToFolder));
    EXPECT_EQ(FileNamesIn(scratch.Path()).size(), 3u);
}

TEST(ReplaceFile, FailureKeepsTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    ScratchFolder scratch;
    const std::string target = scratch / "book.pdb";
    WriteBytes(target, "old");
    ::chmod(scratch.Path().c_str(), 0500);
    const platform::FileError error = platform::ReplaceFile(target, "new", 0644, ".t-");
    ::chmod(scratch.Path().c_str(), 0700);
    EXPECT_TRUE(error.creatingFile);
    EXPECT_EQ(error.code, EACCES);
    EXPECT_EQ(ReadBytes(target), "old");
}

TEST(TemporaryFile, IsRemovedUnlessKeptOrMoved)
{
    ScratchFolder scratch;
    std::string kept;
    {
        platform::TemporaryFile dropped(scratch.Path().string(), "t-");
        platform::TemporaryFile keep(scratch.Path().string(), "t-");
        ASSERT_FALSE(dropped.Error());
        ASSERT_FALSE(keep.Error());
        EXPECT_NE(dropped.Path(), keep.Path());
        ASSERT_FALSE(platform::WriteAll(keep.Fd(), "data"));
        ASSERT_FALSE(keep.Close());
        keep.Keep();
        kept = keep.Path();
    }
    EXPECT_EQ(FileNamesIn(scratch.Path()).size(), 1u);
    EXPECT_EQ(ReadBytes(kept), "data");
    EXPECT_EQ(ModeOf(kept), 0600u);

    platform::TemporaryFile nowhere(scratch / "missing", "t-");
    EXPECT_TRUE(nowhere.Error().creatingFile);
    EXPECT_EQ(nowhere.Error().code, ENOENT);
}

// A child process that makes a kept temporary file in folder and then waits,
// holding it, until it is killed. Returns its pid once the file exists.
pid_t ChildHoldingATemporaryFile(const std::string& folder)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        platform::TemporaryFile file(folder, "t-");
        const platform::RemovedOnInterrupt held = file.Keep();
        if (!file.Error() && !file.Close("prepared text") && write(ready[1], "x", 1) == 1)
            for (;;)
                pause();
        _exit(1);
    }
    close(ready[1]);
    char answer = 0;
    const bool made = read(ready[0], &answer, 1) == 1;
    close(ready[0]);
    return made ? child : -1;
}

void Kill(pid_t child)
{
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

TEST(TemporaryFile, OnlyFilesOfKilledProcessesAreSweptAway)
{
    ScratchFolder scratch, elsewhere;
    const std::string folder = scratch.Path().string();
    const pid_t killed = ChildHoldingATemporaryFile(folder);
    const pid_t living = ChildHoldingATemporaryFile(folder);
    ASSERT_GT(killed, 0);
    ASSERT_GT(living, 0);
    Kill(killed);
    platform::TemporaryFile open(folder, "t-");
    platform::TemporaryFile closed(folder, "t-");
    ASSERT_FALSE(closed.Close("kept while its registration lives"));
    const platform::RemovedOnInterrupt registration = closed.Keep();
    // Look-alikes that are no temporary file of this user.
    WriteBytes(elsewhere / "target", "not in the folder");
    std::filesystem::create_symlink(elsewhere / "target", scratch / "t-link00");
    std::filesystem::create_directory(scratch / "t-fold00");
    WriteBytes(scratch / "u-abcdef", "another prefix");
    const bool root = geteuid() == 0;
    if (root) {
        WriteBytes(scratch / "t-other0", "another user's");
        ASSERT_EQ(chown((scratch / "t-other0").c_str(), 65534, 65534), 0);
    }
    const std::size_t before = FileNamesIn(scratch.Path()).size();

    EXPECT_EQ(platform::RemoveAbandonedTemporaryFiles(folder, "t-"), 1u) << "the killed process's file";
    EXPECT_EQ(FileNamesIn(scratch.Path()).size(), before - 1);
    EXPECT_TRUE(std::filesystem::exists(open.Path()));
    EXPECT_EQ(ReadBytes(closed.Path()), "kept while its registration lives");
    EXPECT_EQ(ReadBytes(elsewhere / "target"), "not in the folder");
    Kill(living);
    EXPECT_EQ(platform::RemoveAbandonedTemporaryFiles(folder, "t-"), 1u) << "its file once it is killed too";
    EXPECT_EQ(FileNamesIn(scratch.Path()).size(), before - 2);
}

TEST(TemporaryFile, NamesAreKnownByTheirForm)
{
    ScratchFolder scratch;
    platform::TemporaryFile file(scratch.Path().string(), ".t-");
    EXPECT_TRUE(platform::IsTemporaryName(platform::FileNameOf(file.Path()), ".t-"));
    const struct {
        const char* name;
        bool temporary;
    } cases[] = {
        {".t-Ab12Cd", true},   {".t-abcde", false}, {".t-abcdefg", false}, {".t-abc.de", false},
        {"x.t-abcdef", false}, {".t-", false},      {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::IsTemporaryName(c.name, ".t-"), c.temporary) << c.name;
}

TEST(TemporaryFolder, FollowsTmpThenTempThenTmpdir)
{
    // Each setting is undone, the latest first, when the test ends.
    const ScopedEnv tmp("TMP", ""), temp("TEMP", "/temp"), tmpdir("TMPDIR", "/tmpdir");
    EXPECT_EQ(platform::TemporaryFolder(), "/temp") << "an empty variable counts as unset";
    const ScopedEnv noTemp("TEMP", std::nullopt);
    EXPECT_EQ(platform::TemporaryFolder(), "/tmpdir");
    const ScopedEnv tmpFirst("TMP", "/tmp-first");
    EXPECT_EQ(platform::TemporaryFolder(), "/tmp-first");
    const ScopedEnv noTmp("TMP", std::nullopt), noTmpdir("TMPDIR", std::nullopt);
    EXPECT_EQ(platform::TemporaryFolder(), P_tmpdir);
}

}  // namespace
