// Files removed when SIGINT, SIGTERM or SIGHUP ends the process. Each case
// runs in a child of this test process, which itself never registers a file:
// every child starts as a program that has not met the handlers yet.
#include <platform/Files.h>
#include <platform/Interruption.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "SignalledChild.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;

void Touch(const std::string& path)
{
    WriteBytes(path, "x");
}

TEST(RemovedOnInterrupt, RegisteredFilesGoAndTheProcessEndsAsTheSignalSays)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ScratchFolder scratch;
        const std::string folder = scratch.Path().string();
        const int status = StatusAfterSignals(
            [&] {
                static platform::TemporaryFile removed(folder, "t-");
                static platform::TemporaryFile kept(folder, "k-");
                kept.Keep();
                Touch(scratch / "registered");
                static platform::RemovedOnInterrupt registered(scratch / "registered");
                Touch(scratch / "released");
                static platform::RemovedOnInterrupt released(scratch / "released");
                released.Release();
                // Registered by a relative name, then the process moves on.
                Touch(scratch / "relative");
                if (::chdir(folder.c_str()) != 0)
                    _exit(101);
                static platform::RemovedOnInterrupt relative("relative");
                if (::chdir("/") != 0)
                    _exit(101);
            },
            {signal});
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        const std::vector<std::string> left = FileNamesIn(scratch.Path());
        ASSERT_EQ(left.size(), 2u) << signal;
        EXPECT_EQ(left[1], "released");
        EXPECT_EQ(left[0].substr(0, 2), "k-") << "the kept temporary file stays";
    }
}

TEST(RemovedOnInterrupt, TheProgramsOwnHandlingIsLeftAlone)
{
    ScratchFolder scratch;
    const int status = StatusAfterSignals(
        [&] {
            // A program that ignores hang-ups and ends its own way on SIGTERM.
            ::signal(SIGHUP, SIG_IGN);
            ::signal(SIGTERM, [](int) { _exit(42); });
            Touch(scratch / "registered");
            static platform::RemovedOnInterrupt registered(scratch / "registered");
        },
        {SIGHUP, SIGTERM});
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 42);
    EXPECT_EQ(FileNamesIn(scratch.Path()), std::vector<std::string>{"registered"});
}

TEST(RemovedOnInterrupt, AnInterruptedForkedChildLeavesItsParentsFiles)
{
    ScratchFolder scratch;
    const int status = StatusAfterSignals(
        [&] {
            Touch(scratch / "parent's");
            static platform::RemovedOnInterrupt registered(scratch / "parent's");
            const int childStatus = StatusAfterSignals([] {}, {SIGTERM});
            if (!WIFSIGNALED(childStatus) || !fs::exists(scratch / "parent's"))
                _exit(1);
        },
        {SIGINT});
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    EXPECT_TRUE(FileNamesIn(scratch.Path()).empty()) << "the parent's own interruption removes it";
}

}  // namespace
