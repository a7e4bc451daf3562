// The store shared by processes, writers that die or fail mid-write, and
// folders the store cannot write to.
#include "TestEnvironment.h"

#include <core/SettingsGroups.h>
#include <core/SettingsStore.h>
#include <core/SettingsValues.h>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace folivo;

namespace {

SettingsKey OpenKey()
{
    SettingsKey key;
    unsigned long disposition;
    OpenSettingsKey(key, disposition, kSettingsKeyPath);
    return key;
}

std::string Name(char prefix, int i)
{
    return prefix + std::to_string(i);
}

// Runs `work` in a child process; its exit code is 0 when `work` succeeds.
template <class Work>
pid_t Spawn(Work work)
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(work() ? 0 : 1);
    return pid;
}

int ExitCode(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void StoreStrings(int count, char letter, std::size_t length)
{
    SettingsKey key = OpenKey();
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(SetStringValue(key, Name('V', i).c_str(), std::string(length, letter).c_str()), SETTINGS_OK);
}

TEST(SettingsReliabilityTest, ConcurrentWritersLoseNoValue)
{
    IsolatedStore store;
    constexpr int perWriter = 60;
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    auto writer = [&](char prefix) {
        return Spawn([&, prefix] {
            char go;
            SettingsKey key = OpenKey();
            bool ok = read(gate[0], &go, 1) == 1;
            for (int i = 0; ok && i < perWriter; ++i)
                ok = SetDwordValue(key, Name(prefix, i).c_str(), static_cast<std::uint32_t>(i)) == SETTINGS_OK;
            return ok;
        });
    };
    pid_t a = writer('A');
    pid_t b = writer('B');
    ASSERT_EQ(write(gate[1], "gg", 2), 2);  // both start at the same moment
    EXPECT_EQ(ExitCode(a), 0);
    EXPECT_EQ(ExitCode(b), 0);

    SettingsKey key = OpenKey();
    for (char prefix : {'A', 'B'}) {
        for (int i = 0; i < perWriter; ++i) {
            std::uint32_t value = 0xFFFFFFFF;
            EXPECT_TRUE(ReadDword(key, Name(prefix, i).c_str(), value) && value == static_cast<std::uint32_t>(i))
                << Name(prefix, i);
        }
    }
}

TEST(SettingsReliabilityTest, KilledWriterLeavesACompleteFile)
{
    IsolatedStore store;
    constexpr int values = 40;
    StoreStrings(values, 'a', 2000);
    std::mt19937 random(7);
    for (int round = 0; round < 8; ++round) {
        pid_t child = Spawn([&] {
            SettingsKey key = OpenKey();
            for (int n = 0;; ++n)
                SetStringValue(key, Name('V', n % values).c_str(), std::string(2000, 'b' + n % 20).c_str());
            return true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + random() % 40));
        kill(child, SIGKILL);
        EXPECT_EQ(ExitCode(child), -1);

        // Every value is whole: 2000 copies of one letter.
        SettingsKey key = OpenKey();
        for (int i = 0; i < values; ++i) {
            CString value;
            ASSERT_TRUE(ReadString(key, Name('V', i).c_str(), value, 4096)) << "round " << round << ", value " << i;
            ASSERT_EQ(value, CString(2000, value[0]));
        }
    }

    // The next writer clears away the temporary files killed writers left.
    SettingsKey key = OpenKey();
    ASSERT_EQ(SetDwordValue(key, "Tabs", 1), SETTINGS_OK);
    for (const auto& entry : std::filesystem::directory_iterator(store.Folder()))
        EXPECT_TRUE(entry.path() == store.File() || entry.path().extension() == ".lock") << entry.path();
}

TEST(SettingsReliabilityTest, WriterThatCannotFinishLeavesThePreviousFile)
{
    IsolatedStore store;
    StoreStrings(50, 'a', 3000);
    std::string before = ReadBytes(store.File());

    // A file size limit stops the write halfway, as a full disk would.
    pid_t child = Spawn([&] {
        rlimit limit{before.size() / 2, before.size() / 2};
        signal(SIGXFSZ, SIG_IGN);
        SettingsKey key = OpenKey();
        // The reason names the settings file, not the new copy that could not be finished.
        return setrlimit(RLIMIT_FSIZE, &limit) == 0 && !SaveBookmarkDefaults(std::string(3000, 'b')) &&
               LastSettingsProblem().Message() == store.File().string() + ": File too large, so it was left as it was";
    });
    EXPECT_EQ(ExitCode(child), 0);
    EXPECT_EQ(ReadBytes(store.File()), before);
    EXPECT_EQ(FileNamesIn(store.Folder()).size(), 2u);  // file and lock
}

TEST(SettingsReliabilityTest, UnusableFolderKeepsDefaultsAndWritesNothing)
{
    IsolatedStore store;
    // A file where the maker's folder belongs stops even a root user.
    WriteBytes(store.Folder(), "not a folder");
    EXPECT_FALSE(OpenKey().IsOpen());

    EXPECT_FALSE(SaveTextDefaults(TextPageState{}));
    EXPECT_FALSE(SaveWindowPlacement(PlacementWindow::MainDialog, WindowPlacement{1, 2, 3, 4}));
    EXPECT_FALSE(SaveShellIntegration(8));
    EXPECT_EQ(LastSettingsProblem().Message(),
              store.Folder().string() + ": not a folder, so it cannot hold the settings file");
    TextPageState text;
    text.tabs = 7;
    EXPECT_FALSE(LoadTextPageDefaults(text));
    EXPECT_EQ(text.tabs, 7u);
    ConversionSettings direct;
    direct.format = DocumentFormat::zTXT;
    ReadDirectRunDefaults(direct);
    EXPECT_EQ(direct.blockSizeKB, 8);
    EXPECT_TRUE(direct.compress);
    EXPECT_EQ(ReadShellIntegration(), 0u);
    EXPECT_EQ(ReadBytes(store.Folder()), "not a folder");
}

TEST(SettingsReliabilityTest, ReadOnlyFolderOrFileFailsWritesAndKeepsTheStoredValues)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    IsolatedStore store;
    SaveShellIntegration(8);
    std::string before = ReadBytes(store.File());
    SettingsKey key = OpenKey();
    using std::filesystem::perms;
    for (const auto& [path, readOnly] : {std::pair(store.File(), perms::owner_read),
                                         std::pair(store.Folder(), perms::owner_read | perms::owner_exec)}) {
        std::filesystem::permissions(path, readOnly);
        EXPECT_EQ(SetDwordValue(key, "ShExt", 0), SETTINGS_FAILED);
        EXPECT_TRUE(LastSettingsProblem().Message().starts_with(path.string() + ": "))
            << LastSettingsProblem().Message();
        EXPECT_EQ(ReadShellIntegration(), 8u);
        EXPECT_EQ(ReadBytes(store.File()), before);
    }
}

TEST(SettingsReliabilityTest, ALinkIntoAMissingFolderFailsWritesWithWhereItLeads)
{
    IsolatedStore store;
    std::filesystem::create_directories(store.Folder());
    const std::filesystem::path target = store.Folder() / "gone" / "settings.conf";
    std::filesystem::create_symlink(target, store.File());
    EXPECT_FALSE(SaveWindowPlacement(PlacementWindow::MainDialog, WindowPlacement{1, 2, 3, 4}));
    EXPECT_EQ(LastSettingsProblem().Message(),
              store.File().string() + ": a symbolic link to " + target.string() + ": No such file or directory");
    EXPECT_TRUE(std::filesystem::is_symlink(store.File()));
}

}  // namespace
