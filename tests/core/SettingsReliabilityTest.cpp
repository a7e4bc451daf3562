// The store shared by several processes, writers killed mid-write, and
// folders the store cannot write to.
#include "ScratchFolder.h"

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

namespace {

std::string Name(char prefix, int i)
{
    return prefix + std::to_string(i);
}

// Runs `work` in a child process that ends with _exit(0), or 1 on failure.
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

TEST(SettingsReliabilityTest, ConcurrentWritersLoseNoValue)
{
    IsolatedStore store;
    constexpr int perWriter = 60;
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    auto writer = [&](char prefix) {
        return Spawn([&, prefix] {
            char go;
            if (read(gate[0], &go, 1) != 1)
                return false;
            SettingsKey key;
            unsigned long disposition;
            if (OpenSettingsKey(key, disposition, kSettingsKeyPath) != SETTINGS_OK)
                return false;
            for (int i = 0; i < perWriter; ++i) {
                if (SetDwordValue(key, Name(prefix, i).c_str(), static_cast<std::uint32_t>(i)) != SETTINGS_OK)
                    return false;
            }
            return true;
        });
    };
    pid_t a = writer('A');
    pid_t b = writer('B');
    ASSERT_EQ(write(gate[1], "gg", 2), 2);  // both start at the same moment
    close(gate[0]);
    close(gate[1]);
    EXPECT_EQ(ExitCode(a), 0);
    EXPECT_EQ(ExitCode(b), 0);

    SettingsKey key;
    unsigned long disposition;
    ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
    for (char prefix : {'A', 'B'}) {
        for (int i = 0; i < perWriter; ++i) {
            std::uint32_t value = 0xFFFFFFFF;
            EXPECT_TRUE(ReadDword(key, Name(prefix, i).c_str(), value)) << Name(prefix, i);
            EXPECT_EQ(value, static_cast<std::uint32_t>(i));
        }
    }
}

TEST(SettingsReliabilityTest, KilledWriterLeavesACompleteFile)
{
    IsolatedStore store;
    constexpr int values = 40;
    // Values of one generation: 2000 copies of one letter.
    auto text = [](char letter) { return std::string(2000, letter); };
    {
        SettingsKey key;
        unsigned long disposition;
        ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
        for (int i = 0; i < values; ++i)
            ASSERT_EQ(SetStringValue(key, Name('V', i).c_str(), text('a').c_str()), SETTINGS_OK);
    }

    std::mt19937 random(7);
    for (int round = 0; round < 12; ++round) {
        pid_t child = Spawn([&] {
            SettingsKey key;
            unsigned long disposition;
            OpenSettingsKey(key, disposition, kSettingsKeyPath);
            for (int n = 0;; ++n)
                SetStringValue(key, Name('V', n % values).c_str(), text(static_cast<char>('b' + n % 20)).c_str());
            return true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + random() % 40));
        kill(child, SIGKILL);
        EXPECT_EQ(ExitCode(child), -1);

        SettingsKey key;
        unsigned long disposition;
        ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
        for (int i = 0; i < values; ++i) {
            CString value;
            ASSERT_TRUE(ReadString(key, Name('V', i).c_str(), value, 4096)) << "round " << round << ", value " << i;
            ASSERT_EQ(value.size(), 2000u);
            EXPECT_EQ(value.find_first_not_of(value[0]), CString::npos);
        }
    }

    // The next writer clears away what killed writers left behind.
    SettingsKey key;
    unsigned long disposition;
    ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
    ASSERT_EQ(SetDwordValue(key, "Tabs", 1), SETTINGS_OK);
    for (const auto& entry : std::filesystem::directory_iterator(store.Folder())) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "Folivo Converter.conf" || name == "Folivo Converter.conf.lock") << name;
    }
}

TEST(SettingsReliabilityTest, WriterThatCannotFinishLeavesThePreviousFile)
{
    IsolatedStore store;
    {
        SettingsKey key;
        unsigned long disposition;
        ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
        for (int i = 0; i < 50; ++i)
            ASSERT_EQ(SetStringValue(key, Name('V', i).c_str(), std::string(3000, 'a').c_str()), SETTINGS_OK);
    }
    std::string before = ReadBytes(store.File());

    // A file size limit makes the write stop halfway, as a full disk would.
    pid_t child = Spawn([&] {
        rlimit limit{before.size() / 2, before.size() / 2};
        signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return false;
        SettingsKey key;
        unsigned long disposition;
        OpenSettingsKey(key, disposition, kSettingsKeyPath);
        return SetStringValue(key, "V1", std::string(3000, 'b').c_str()) == SETTINGS_FAILED;
    });
    EXPECT_EQ(ExitCode(child), 0);
    EXPECT_EQ(ReadBytes(store.File()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(store.Folder()), {}), 2);
}

TEST(SettingsReliabilityTest, UnusableFolderKeepsDefaultsAndWritesNothing)
{
    IsolatedStore store;
    // A file where the maker's folder should be stops even a root user.
    WriteBytes(store.Folder(), "not a folder");

    SettingsKey key;
    unsigned long disposition;
    EXPECT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_FAILED);
    EXPECT_FALSE(key.IsOpen());

    SaveTextDefaults(TextPageState{});
    SaveWindowPlacement(PlacementWindow::MainDialog, WindowPlacement{1, 2, 3, 4});
    EXPECT_FALSE(SaveShellIntegration(8));

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

TEST(SettingsReliabilityTest, ReadOnlyFolderFailsWritesAndKeepsTheStoredValues)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    IsolatedStore store;
    SaveShellIntegration(8);
    std::string before = ReadBytes(store.File());
    std::filesystem::permissions(store.Folder(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);

    SettingsKey key;
    unsigned long disposition;
    ASSERT_EQ(OpenSettingsKey(key, disposition, kSettingsKeyPath), SETTINGS_OK);
    EXPECT_EQ(SetDwordValue(key, "ShExt", 0), SETTINGS_FAILED);
    EXPECT_EQ(ReadShellIntegration(), 8u);
    EXPECT_EQ(ReadBytes(store.File()), before);
}

}  // namespace
