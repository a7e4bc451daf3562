#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include <palm/EbookWriters.h>
#include <palm/HotSync.h>

#include "OutsideLibraries.h"
#include "PalmTestSupport.h"
#include "TestEnvironment.h"

namespace {

using palm::Status;

class HotSync : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* user : {"Zoe", "Anna Smith", ".hidden"})
            std::filesystem::create_directory(hotSync / user);
        WriteBytes(hotSync / "not-a-user.txt", "");
        WriteBytes(elsewhere / "book.pdb", "database bytes");
    }

    std::string Name(std::int16_t index)
    {
        std::uint32_t id = 0;
        EXPECT_EQ(FolivoUserId(index, &id), 0);
        char buffer[255];
        std::int16_t size = 255;
        EXPECT_GT(FolivoUserName(id, buffer, &size), 0);
        return buffer;
    }

    ScratchFolder hotSync, elsewhere;
    ScopedEnv m_hotSyncDir{"FOLIVO_HOTSYNC_DIR", hotSync.Path().string()};
};

TEST_F(HotSync, ListsUserFoldersSortedByName)
{
    ASSERT_EQ(FolivoUserCount(), 2);
    EXPECT_EQ(Name(0), "Anna Smith");
    EXPECT_EQ(Name(1), "Zoe");
    std::uint32_t id = 0;
    EXPECT_NE(FolivoUserId(2, &id), 0);
    EXPECT_NE(FolivoUserId(-1, &id), 0);

    char small[4];
    std::int16_t size = 3;
    EXPECT_EQ(FolivoUserName(palm::HandheldUserId("Zoe"), small, &size), 0) << "no room for the NUL";
    size = 255;
    EXPECT_EQ(FolivoUserName(12345, small, &size), 0);

    const ScopedEnv absent("FOLIVO_HOTSYNC_DIR", hotSync / "absent");
    EXPECT_LT(FolivoUserCount(), 0);
}

TEST_F(HotSync, DefaultFolderFollowsTheDataHome)
{
    const ScopedEnv noHotSyncDir("FOLIVO_HOTSYNC_DIR", std::nullopt), noDataHome("XDG_DATA_HOME", std::nullopt);
    if (const char* home = std::getenv("HOME")) {
        EXPECT_EQ(palm::HotSyncFolder(), std::string(home) + "/.local/share/Kavvan Software/HotSync");
    }
    const ScopedEnv dataHome("XDG_DATA_HOME", "/xdg-data");
    EXPECT_EQ(palm::HotSyncFolder(), "/xdg-data/Kavvan Software/HotSync");
}

// A database named title whose text is text.
std::string Database(const std::string& title, const std::string& text)
{
    std::string database;
    EXPECT_TRUE(palm::BuildPalmDoc({title, text, {}}, false, database).Ok());
    return database;
}

TEST_F(HotSync, InstallCopiesIntoTheUsersQueue)
{
    const std::string database = elsewhere / "book.pdb";
    WriteBytes(database, Database("Book", "database bytes"));
    EXPECT_EQ(FolivoInstallDatabase("Zoe", database.c_str()), 0);
    EXPECT_EQ(ReadBytes(hotSync / "Zoe/Install/book.pdb"), ReadBytes(database));
    WriteBytes(database, Database("Book", "newer bytes"));
    EXPECT_EQ(FolivoInstallDatabase("Zoe", database.c_str()), 0);
    EXPECT_EQ(ReadBytes(hotSync / "Zoe/Install/book.pdb"), ReadBytes(database));
}

TEST_F(HotSync, BooksOfOneFileNameAreAllQueuedAndTitlesTwiceAreTold)
{
    const std::filesystem::path queue = hotSync / "Zoe/Install";
    std::filesystem::create_directories(queue);
    WriteBytes(queue / "notes.pdb", "not a database, and not ours to replace");
    struct Step {
        const char* folder;
        const char* file;
        const char* title;
        const char* queuedAs;
        Status status;
    } steps[] = {
        {"one", "a.pdb", "One", "a.pdb", Status::Ok},
        {"two", "a.pdb", "Two", "a-2.pdb", Status::Ok},
        {"one", "a.pdb", "One", "a.pdb", Status::Ok},  // the same book again takes its place
        {"two", "a.pdb", "Two", "a-2.pdb", Status::Ok},
        {"three", "a.pdb", "Three", "a-3.pdb", Status::Ok},
        {"four", "b.pdb", "One", "b.pdb", Status::SameNameQueued},
        {"five", "notes.pdb", "Notes", "notes-2.pdb", Status::Ok},
        {"six", "x", "Six", "x", Status::Ok},
        {"seven", "x", "Seven", "x-2", Status::Ok},
        // Another book of the same file name and title in this run.
        {"eight", "a.pdb", "One", "a-4.pdb", Status::SameNameQueued},
    };
    int version = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.folder) + "/" + step.file);
        std::filesystem::create_directories(elsewhere.Path() / step.folder);
        const std::filesystem::path path = elsewhere.Path() / step.folder / step.file;
        WriteBytes(path, Database(step.title, "text " + std::to_string(++version)));
        const palm::Result result = palm::InstallDatabase("Zoe", path);
        EXPECT_EQ(result.status, step.status) << palm::Message(result);
        EXPECT_EQ(ReadBytes(queue / step.queuedAs), ReadBytes(path));
    }
    EXPECT_EQ(FileNamesIn(queue), (std::vector<std::string>{"a-2.pdb", "a-3.pdb", "a-4.pdb", "a.pdb", "b.pdb",
                                                            "notes-2.pdb", "notes.pdb", "x", "x-2"}));
    EXPECT_EQ(ReadBytes(queue / "notes.pdb"), "not a database, and not ours to replace");
    const palm::Result again = palm::InstallDatabase("Zoe", elsewhere / "one/a.pdb");
    EXPECT_EQ(again.status, Status::SameNameQueued);
    EXPECT_EQ(palm::Message(again), "Queued, but the hand-held keeps only one database of a name: "
                                    "\"One\", the name of a.pdb, is also that of a-4.pdb, b.pdb.");
}

TEST_F(HotSync, BooksOfOneFileNameQueuedAtOnceAllStay)
{
    constexpr int kBooks = 8;
    std::vector<std::thread> threads;
    for (int i = 0; i < kBooks; ++i) {
        const std::filesystem::path folder = elsewhere.Path() / std::to_string(i);
        std::filesystem::create_directory(folder);
        WriteBytes(folder / "a.pdb", Database("Book " + std::to_string(i), "text"));
    }
    for (int i = 0; i < kBooks; ++i)
        threads.emplace_back([&, i] {
            EXPECT_EQ(palm::InstallDatabase("Zoe", elsewhere.Path() / std::to_string(i) / "a.pdb").status, Status::Ok);
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(FileNamesIn(hotSync / "Zoe/Install").size(), std::size_t{kBooks});
}

TEST_F(HotSync, UserNamesThatLeaveTheirFolderInstallNothing)
{
    const std::string database = elsewhere / "book.pdb";
    for (const char* user : {"", ".", "..", "../Zoe", "Zoe/../..", "Zoe\\x", "/absolute"})
        EXPECT_EQ(palm::InstallDatabase(user, database).status, Status::InvalidUserName) << user;
    EXPECT_EQ(palm::InstallDatabase("Nobody", database).status, Status::NoSuchUser);
    EXPECT_EQ(palm::InstallDatabase("Zoe", elsewhere / "absent.pdb").status, Status::DatabaseUnreadable);
    EXPECT_FALSE(std::filesystem::exists(hotSync / "Zoe/Install"));
    EXPECT_FALSE(std::filesystem::exists(hotSync / "Nobody"));
}

}  // namespace
