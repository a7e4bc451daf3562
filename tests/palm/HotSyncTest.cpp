#include <gtest/gtest.h>

#include <cstdlib>

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

TEST_F(HotSync, InstallCopiesIntoTheUsersQueue)
{
    const std::string database = elsewhere / "book.pdb";
    EXPECT_EQ(FolivoInstallDatabase("Zoe", database.c_str()), 0);
    EXPECT_EQ(ReadBytes(hotSync / "Zoe/Install/book.pdb"), "database bytes");
    WriteBytes(database, "newer bytes");
    EXPECT_EQ(FolivoInstallDatabase("Zoe", database.c_str()), 0);
    EXPECT_EQ(ReadBytes(hotSync / "Zoe/Install/book.pdb"), "newer bytes");
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
