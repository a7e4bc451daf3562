// folivo defaults: listing, reading and storing the stored defaults.
#include "CliRun.h"

using namespace clitest;

TEST(DefaultsCommand, ValuesRoundTripWithTheirTypes)
{
    Sandbox box;
    RunResult run = box.Run({"defaults"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");  // nothing stored yet: nothing listed

    const std::string pattern = "^chapter\r\n|^part \\d";
    ASSERT_EQ(box.Run({"defaults", "bookmarks", pattern}).status, 0);  // names ignore case
    ASSERT_EQ(box.Run({"defaults", "PalmDocBlock", "12"}).status, 0);
    ASSERT_EQ(box.Run({"defaults", "Dleft", "-1280"}).status, 0);
    ASSERT_EQ(box.Run({"defaults", "ShExt", "4294967295"}).status, 0);

    run = box.Run({"defaults", "Bookmarks"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, pattern + "\n");
    EXPECT_EQ(box.Run({"defaults", "palmdocblock"}).out, "12\n");
    EXPECT_EQ(box.Run({"defaults", "Dleft"}).out, "-1280\n");
    EXPECT_EQ(box.Run({"defaults", "ShExt"}).out, "4294967295\n");

    run = box.Run({"defaults"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Bookmarks            SZ    ^chapter\\r\\n|^part \\\\d\n"
                       "PalmDocBlock         DWORD 12\n"
                       "ShExt                DWORD 4294967295\n"
                       "Dleft                DWORD -1280\n");

    run = box.Run({"defaults", "Tabs"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "folivo: error: Tabs is not set\n");
}

TEST(DefaultsCommand, WrongNamesAndValuesStoreNothing)
{
    Sandbox box;
    const std::vector<std::vector<std::string>> wrong = {
        {"defaults", "Colour"},
        {"defaults", "Colour", "1"},
        {"defaults", "Tabs", "-1"},
        {"defaults", "Tabs", "0x10"},
        {"defaults", "Tabs", "+1"},
        {"defaults", "Tabs", " 1"},
        {"defaults", "Tabs", ""},
        {"defaults", "Tabs", "4294967296"},
        {"defaults", "Dtop", "2147483648"},
        {"defaults", "zTxtBlock", "0"},
        {"defaults", "zTxtBlock", "32"},
        {"defaults", "Tabs", "1", "2"},
        {"defaults", "Bookmarks", std::string(4192, 'x')},
    };
    for (const auto& args : wrong) {
        const RunResult run = box.Run(args);
        EXPECT_EQ(run.status, 2) << args[1] << ' ' << (args.size() > 2 ? args[2].substr(0, 20) : "");
    }
    EXPECT_EQ(box.Run({"defaults"}).out, "");
    EXPECT_EQ(box.Run({"defaults", "Dtop", "-2147483648"}).status, 0);
    EXPECT_EQ(box.Run({"defaults", "Bookmarks", std::string(4191, 'x')}).status, 0);
}
