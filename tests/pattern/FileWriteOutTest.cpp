// ChangeFiles when writing fails or the process dies: the target is at every
// moment either the old or the new text, and problems name the right file.
#include "FileWriteOut.h"
#include "FileTree.h"
#include "SignalledChild.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using patternkit::WriteOutStep;

// Files the process writes stop at a size, while the object lives; writing
// past it fails with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_previous(signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        const rlimit limit{bytes, m_saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        signal(SIGXFSZ, m_previous);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    sighandler_t m_previous;
    rlimit m_saved{};
};

class WriteOut : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.Write("notes.txt", "old text");
        Aim(re, tree, "notes.txt", "old", "new");
    }
    void TearDown() override { patternkit::SetWriteOutFault(nullptr); }

    const FileChangeProblem& OnlyProblem() const
    {
        const FileChangeProblemList* problems = re.GetChangeFilesErrors();
        EXPECT_NE(problems, nullptr);
        EXPECT_EQ(problems ? problems->size() : 0u, 1u);
        static const FileChangeProblem none{};
        return problems && !problems->empty() ? problems->front() : none;
    }

    // Runs ChangeFiles in a child process prepared by `prepare`; returns the
    // kind of the child's first problem, or -1 when it had none.
    int KindInChild(const std::function<void()>& prepare)
    {
        const pid_t child = fork();
        if (child == 0) {
            prepare();
            re.ChangeFiles();
            const FileChangeProblemList* problems = re.GetChangeFilesErrors();
            _exit(problems ? problems->front().kind : 100);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) != 100 ? WEXITSTATUS(status) : -1;
    }

    FileTree tree;
    RegularExpression re;
};

TEST_F(WriteOut, TemporaryFileThatCannotBeCreated)
{
    // Every descriptor but one in use: the target opens, the temporary file does not.
    const int kind = KindInChild([] {
        const rlimit limit{64, 64};
        setrlimit(RLIMIT_NOFILE, &limit);
        int last = -1;
        for (int fd; (fd = open("/dev/null", O_RDONLY)) >= 0;)
            last = fd;
        close(last);
    });
    EXPECT_EQ(kind, FileChangeProblem::kindCannotCreateTemporary);
    EXPECT_EQ(tree.Read("notes.txt"), "old text");
    EXPECT_EQ(tree.Count(), 1u);
}

TEST_F(WriteOut, TemporaryFileThatCannotBeWrittenWhole)
{
    tree.Write("notes.txt", "old" + std::string(5000, '.'));
    {
        const FileSizeLimit limit(1000);
        EXPECT_EQ(re.ChangeFiles(), 0u);
    }
    EXPECT_EQ(OnlyProblem().kind, FileChangeProblem::kindCannotWriteTemporary);
    EXPECT_EQ(OnlyProblem().position, 1000);
    EXPECT_EQ(OnlyProblem().errorCode, EFBIG);
    EXPECT_NE(OnlyProblem().fileName.find(tree.Path() + "/.changing-"), std::string::npos);
    EXPECT_EQ(tree.Read("notes.txt"), "old" + std::string(5000, '.'));
    EXPECT_EQ(tree.Count(), 1u);
}

TEST_F(WriteOut, BackupThatCannotBeMadeLeavesTheTargetAlone)
{
    tree.Write("notes.bak/inside", "a folder where the backup should go");
    re.SetSaveExtension("bak");
    EXPECT_EQ(re.ChangeFiles(), 0u);
    EXPECT_EQ(OnlyProblem().kind, FileChangeProblem::kindCannotBackUp);
    EXPECT_EQ(OnlyProblem().fileName, tree.Path("notes.bak"));
    EXPECT_NE(OnlyProblem().errorCode, 0);
    EXPECT_EQ(tree.Read("notes.txt"), "old text");
    EXPECT_EQ(tree.Count(), 2u);
}

TEST_F(WriteOut, TargetThatCannotBeReplaced)
{
    patternkit::SetWriteOutFault(
        [](WriteOutStep step, const char*) { return step == WriteOutStep::replaceTarget ? EBUSY : 0; });
    EXPECT_EQ(re.ChangeFiles(), 0u);
    EXPECT_EQ(OnlyProblem().kind, FileChangeProblem::kindCannotReplace);
    EXPECT_EQ(OnlyProblem().errorCode, EBUSY);
    EXPECT_EQ(tree.Read("notes.txt"), "old text");
    EXPECT_EQ(tree.Count(), 1u);
}

TEST_F(WriteOut, AttributesThatCannotBeRestoredStillCountTheChange)
{
    patternkit::SetWriteOutFault(
        [](WriteOutStep step, const char*) { return step == WriteOutStep::restoreAttributes ? EPERM : 0; });
    EXPECT_EQ(re.ChangeFiles(), 1u);
    EXPECT_EQ(OnlyProblem().kind, FileChangeProblem::kindCannotRestoreAttributes);
    EXPECT_EQ(OnlyProblem().fileName, tree.Path("notes.txt"));
    EXPECT_EQ(tree.Read("notes.txt"), "new text");
}

// Dies at a step of the write-out, as a crash or power cut would.
TEST_F(WriteOut, DyingBeforeTheReplaceLeavesTheOldTextAndACompleteBackup)
{
    tree.Write("notes.txt", "old" + std::string(100000, '.'));
    re.SetSaveExtension("bak");
    for (const WriteOutStep step : {WriteOutStep::temporaryWritten, WriteOutStep::replaceTarget}) {
        const pid_t child = fork();
        if (child == 0) {
            static WriteOutStep fatal;
            fatal = step;
            patternkit::SetWriteOutFault([](WriteOutStep now, const char*) {
                if (now == fatal)
                    _exit(0);
                return 0;
            });
            re.ChangeFiles();
            _exit(1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(tree.Read("notes.txt"), "old" + std::string(100000, '.'));
    }
    EXPECT_EQ(tree.Read("notes.bak"), "old" + std::string(100000, '.'));
}

TEST_F(WriteOut, KilledAtAnyMomentTheTargetIsOldOrNewNeverPartial)
{
    std::string filler;
    while (filler.size() < (2u << 20))
        filler += "a line of text that does not match\n";
    const std::string oldText = filler + "old";
    const std::string newText = filler + "new";
    // Kills spread over the time one run takes here.
    tree.Write("notes.txt", oldText);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(re.ChangeFiles(), 1u);
    const auto run = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    const int kills = 12;
    for (int i = 0; i <= kills; ++i) {
        tree.Write("notes.txt", oldText);
        const pid_t child = fork();
        if (child == 0) {
            re.ChangeFiles();
            _exit(0);
        }
        // The last child is left to finish.
        if (i < kills) {
            usleep(static_cast<useconds_t>(run.count() * 2 * i / kills));
            kill(child, SIGKILL);
        }
        waitpid(child, nullptr, 0);
        const std::string now = tree.Read("notes.txt");
        ASSERT_TRUE(now == oldText || now == newText) << "kill " << i << ": " << now.size() << " bytes";
        if (i == kills) {
            EXPECT_EQ(now, newText);
        }
    }
}

TEST_F(WriteOut, InterruptedRunRemovesItsTemporaryFile)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const int status = StatusAfterSignals(
            [this] {
                // Waits for the signal once the new text is in its temporary file.
                patternkit::SetWriteOutFault([](WriteOutStep step, const char*) {
                    if (step == WriteOutStep::temporaryWritten)
                        ReadyForSignals();
                    return 0;
                });
                re.ChangeFiles();
                _exit(0);
            },
            {signal});
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "the process ends as the signal says";
        EXPECT_EQ(tree.Count(), 1u) << "signal " << signal;
        EXPECT_EQ(tree.Read("notes.txt"), "old text");
    }
}

// Root is held back by no permission: it acts as this user in a child.
constexpr uid_t kOtherUser = 4242;
constexpr uid_t kOwner = 65534;

void BecomeOtherUser()
{
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0))
        _exit(101);
}

struct stat Stat(const std::string& path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info;
}

TEST_F(WriteOut, FileOfAnotherOwnerKeepsItsPermissionBitsWithoutSetIds)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give the file another owner";
    chmod(tree.Path().c_str(), 0777);
    const struct {
        mode_t before;
        mode_t after;
    } cases[] = {
        {0666, 0666},
        {0646, 0646},
        // The user's copy must not run as the user, nor with the user's group.
        {04666, 0666},
        {02666, 0666},
    };
    for (const auto& c : cases) {
        tree.Write("notes.txt", "old text");
        const std::string path = tree.Path("notes.txt");
        ASSERT_EQ(chown(path.c_str(), kOwner, kOwner), 0);
        ASSERT_EQ(chmod(path.c_str(), c.before), 0);
        EXPECT_EQ(KindInChild(&BecomeOtherUser), FileChangeProblem::kindCannotRestoreAttributes);
        EXPECT_EQ(tree.Read("notes.txt"), "new text");
        EXPECT_EQ(ModeOf(path), c.after) << std::oct << c.before;
        EXPECT_EQ(tree.Count(), 1u);
    }
}

TEST_F(WriteOut, WritableFileInAFolderThatIsNotIsRewrittenInPlace)
{
    FileTree temporary;
    chmod(temporary.Path().c_str(), 0777);
    const ScopedEnv tmp("TMP", temporary.Path());
    const std::string path = tree.Path("notes.txt");
    for (const char* extension : {"", "bak"}) {
        tree.Write("notes.txt", "old text");
        if (geteuid() == 0) {
            ASSERT_EQ(chown(path.c_str(), kOtherUser, kOtherUser), 0);
        }
        const ino_t before = Stat(path).st_ino;
        chmod(tree.Path().c_str(), 0555);
        re.SetSaveExtension(extension);
        const int kind = KindInChild(&BecomeOtherUser);
        chmod(tree.Path().c_str(), 0755);
        if (*extension) {
            // The backup belongs in that folder too.
            EXPECT_EQ(kind, FileChangeProblem::kindCannotBackUp);
            EXPECT_EQ(tree.Read("notes.txt"), "old text");
        } else {
            EXPECT_EQ(kind, -1);
            EXPECT_EQ(tree.Read("notes.txt"), "new text");
            EXPECT_EQ(Stat(path).st_ino, before);
        }
        EXPECT_EQ(tree.Count(), 1u);
        EXPECT_EQ(temporary.Count(), 0u) << "the copy of the old text is removed";
    }
}

TEST_F(WriteOut, FileWithSeveralLinksIsRewrittenInPlaceAndChangedOnce)
{
    // Found under both names, the file is still changed once: "older" holds
    // the matched text, so a second change would make it "olderer".
    for (const char* extension : {"", "bak"}) {
        std::filesystem::remove_all(tree.Path());
        std::filesystem::create_directory(tree.Path());
        tree.Write("notes.txt", "old text");
        ASSERT_EQ(link(tree.Path("notes.txt").c_str(), tree.Path("other.txt").c_str()), 0);
        Aim(re, tree, "*.txt", "old", "older");
        re.SetSaveExtension(extension);
        EXPECT_EQ(re.ChangeFiles(), 1u);
        EXPECT_EQ(re.GetChangeFilesErrors(), nullptr);
        EXPECT_EQ(tree.Read("notes.txt"), "older text");
        EXPECT_EQ(tree.Read("other.txt"), "older text");
        EXPECT_EQ(Stat(tree.Path("notes.txt")).st_nlink, 2u);
        EXPECT_EQ(tree.Count(), *extension ? 3u : 2u);
        if (*extension) {
            EXPECT_EQ(tree.Read("notes.bak"), "old text");
        }
    }
    // Symbolic links met after their target and before it, with another file
    // in between: the rename gives the target a new inode, yet it is still
    // the file already changed.
    std::filesystem::remove_all(tree.Path());
    std::filesystem::create_directory(tree.Path());
    tree.Write("a.txt", "old text");
    tree.Write("b.txt", "old text");
    std::filesystem::create_symlink(tree.Path("a.txt"), tree.Path("c.txt"));
    std::filesystem::create_symlink(tree.Path("b.txt"), tree.Path("0.txt"));
    Aim(re, tree, "*.txt", "old", "older");
    re.SetSaveExtension("");
    EXPECT_EQ(re.ChangeFiles(), 2u);
    EXPECT_EQ(tree.Read("a.txt"), "older text");
    EXPECT_EQ(tree.Read("b.txt"), "older text");
    EXPECT_TRUE(std::filesystem::is_symlink(tree.Path("c.txt")));
}

TEST_F(WriteOut, InPlaceRewriteThatFailsPutsTheOldTextBack)
{
    FileTree temporary;
    const ScopedEnv tmp("TMP", temporary.Path());
    const std::string oldText = "old" + std::string(3000, '.');
    tree.Write("notes.txt", oldText);
    ASSERT_EQ(link(tree.Path("notes.txt").c_str(), tree.Path("other.txt").c_str()), 0);
    re.SetFormatString(std::string(2000, 'n'));
    {
        const FileSizeLimit roomForTheOldTextOnly(4000);
        EXPECT_EQ(re.ChangeFiles(), 0u);
    }
    EXPECT_EQ(OnlyProblem().kind, FileChangeProblem::kindCannotReplace);
    EXPECT_EQ(OnlyProblem().errorCode, EFBIG);
    EXPECT_EQ(OnlyProblem().text, "") << "nothing to recover from elsewhere";
    EXPECT_EQ(tree.Read("other.txt"), oldText);
    EXPECT_EQ(Stat(tree.Path("notes.txt")).st_nlink, 2u);
    EXPECT_EQ(temporary.Count(), 0u);
}

// What another process does to the file in the middle of the write-out:
// at `step`, through a descriptor it opened at replaceTarget (before the new
// text took the old one's place).
struct OtherWriter {
    WriteOutStep step;
    std::function<void(const char* path, int fd)> act;
};
const OtherWriter* g_otherWriter;
int g_otherFd = -1;
int ActAsOtherWriter(WriteOutStep step, const char* path)
{
    if (step == WriteOutStep::replaceTarget)
        g_otherFd = open(path, O_WRONLY | O_APPEND | O_CLOEXEC);
    if (step == g_otherWriter->step)
        g_otherWriter->act(path, g_otherFd);
    return 0;
}

TEST_F(WriteOut, FileAnotherProcessWritesToIsLeftAsThatProcessMadeIt)
{
    const auto append = [](const char*, int fd) { ASSERT_EQ(write(fd, " more", 5), 5); };
    struct Case {
        const char* what;
        OtherWriter writer;
        bool twoLinks;     // rewritten in place
        const char* text;  // of notes.txt afterwards
        unsigned changes;
    } cases[] = {
        {"appended", {WriteOutStep::replaceTarget, append}, false, "old text more", 0},
        {"appended, in place", {WriteOutStep::replaceTarget, append}, true, "old text more", 0},
        {"replaced, same size",
         {WriteOutStep::replaceTarget,
          [](const char* path, int) {
              const std::string other = std::string(path) + ".other";
              WriteBytes(other, "odd text");
              ASSERT_EQ(rename(other.c_str(), path), 0);
          }},
         false,
         "odd text",
         0},
        {"removed", {WriteOutStep::replaceTarget, [](const char* path, int) { unlink(path); }}, false, nullptr, 0},
        // Too late to keep: the new text is in place, and the append went to
        // the old one. It is reported all the same.
        {"appended to the old text during the rename", {WriteOutStep::targetReplaced, append}, false, "new text", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(tree.Path());
        std::filesystem::create_directory(tree.Path());
        tree.Write("notes.txt", "old text");
        if (c.twoLinks) {
            ASSERT_EQ(link(tree.Path("notes.txt").c_str(), tree.Path("other.txt").c_str()), 0);
        }
        g_otherWriter = &c.writer;
        patternkit::SetWriteOutFault(&ActAsOtherWriter);
        EXPECT_EQ(re.ChangeFiles(), c.changes);
        close(g_otherFd);
        EXPECT_EQ(OnlyProblem().kind, FileChangeProblem::kindChangedByAnother);
        EXPECT_EQ(OnlyProblem().fileName, tree.Path("notes.txt"));
        EXPECT_EQ(OnlyProblem().errorCode, c.text ? 0 : ENOENT);
        if (c.text) {
            EXPECT_EQ(tree.Read("notes.txt"), c.text);
        }
        EXPECT_EQ(tree.Count(), (c.text ? 1u : 0u) + c.twoLinks) << "no temporary file is left";
    }
}

TEST(FileOperationsThreads, TwoObjectsOnTwoThreads)
{
    FileTree trees[2];
    std::atomic<int> wrongObject{0};
    auto work = [&](int n) {
        const FileTree& tree = trees[n];
        for (int f = 0; f < 5; ++f)
            tree.Write("f" + std::to_string(f) + ".txt", "a b a b a");
        RegularExpression re;
        re.SetDirectoryRecursion(true);
        re.OnChangingFiles.Hook(&re, [&](RegularExpression* object, const CString&, const REMatchList&, unsigned,
                                         bool&) { wrongObject += object != &re; });
        re.OnGreppingFiles.Hook(&re, [&](RegularExpression* object, const CString&, const REMatchList&, unsigned,
                                         bool&) { wrongObject += object != &re; });
        unsigned changed = 0;
        unsigned found = 0;
        for (int round = 0; round < 20; ++round) {
            const bool even = round % 2 == 0;
            Aim(re, tree, "*.txt", even ? "a" : "c", even ? "c" : "a");
            found += re.GrepFiles();
            changed += re.ChangeFiles();
        }
        EXPECT_EQ(changed, 20u * 15u);
        EXPECT_EQ(found, 20u * 15u);
        EXPECT_EQ(tree.Read("f0.txt"), "a b a b a");
    };
    std::thread first(work, 0);
    std::thread second(work, 1);
    first.join();
    second.join();
    EXPECT_EQ(wrongObject.load(), 0);
}

}  // namespace
