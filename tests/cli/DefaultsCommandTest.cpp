// folivo defaults: listing, reading, storing and removing the stored defaults.
#include "CliRun.h"

#include <sstream>

using namespace clitest;

namespace {

// The line of the listing that shows `name`.
std::string ListedLine(const std::string& listing, const std::string& name)
{
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(name + ' '))
            return line;
    return {};
}

}  // namespace

TEST(DefaultsCommand, ValuesRoundTripWithTheirTypes)
{
    Sandbox box;
    const std::string pattern = "^chapter\r\n|^part \\d";
    ASSERT_EQ(box.Run({"defaults", "bookmarks", pattern}).status, 0);  // names ignore case
    ASSERT_EQ(box.Run({"defaults", "PalmDocBlock", "12"}).status, 0);
    ASSERT_EQ(box.Run({"defaults", "Dleft", "-1280"}).status, 0);
    ASSERT_EQ(box.Run({"defaults", "ShExt", "8"}).status, 0);

    // Control bytes are shown as escapes; everything else as stored.
    RunResult run = box.Run({"defaults", "Bookmarks"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "^chapter\\r\\n|^part \\d\n");
    EXPECT_EQ(box.Run({"defaults", "palmdocblock"}).out, "12\n");
    EXPECT_EQ(box.Run({"defaults", "Dleft"}).out, "-1280\n");
    EXPECT_EQ(box.Run({"defaults", "ShExt"}).out, "8\n");

    run = box.Run({"defaults", "Tabs"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "folivo: error: Tabs is not set\n");
}

TEST(DefaultsCommand, TheListingShowsEveryValueWithItsDefaultStoredValueAndMeaning)
{
    Sandbox box;
    ASSERT_EQ(box.Run({"defaults", "Bookmarks", "^part \\d\r\n"}).status, 0);
    ASSERT_EQ(box.Run({"defaults", "zTxtBlock", "12"}).status, 0);
    ASSERT_EQ(box.Run({"defaults", "Ptop", "-7"}).status, 0);
    const RunResult run = box.Run({"defaults"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 30) << "a heading and 29 values";
    const struct {
        const char* name;
        std::vector<std::string> shown;
    } expected[] = {
        {"Bookmarks", {" SZ ", " \"\" ", " \"^part \\\\d\\r\\n\" ", "bookmark pattern"}},
        {"zTxtBlock", {" DWORD ", " 8 ", " 12 ", "zTXT record size"}},
        {"PalmDocBlock", {" 4 ", " - ", "PalmDoc record size"}},
        {"Ptop", {" none ", " -7 ", "preview window"}},
        {"CRLFNone", {" 1 ", " - ", "remove no line break"}},
    };
    for (const auto& [name, shown] : expected) {
        const std::string line = ListedLine(run.out, name);
        for (const std::string& part : shown)
            EXPECT_NE(line.find(part), std::string::npos) << name << ": " << part << " in\n" << line;
    }
}

TEST(DefaultsCommand, UnsetBringsTheBuiltInDefaultBack)
{
    Sandbox box;
    box.Document("book.txt", "Chapter 1\none\n");
    ASSERT_EQ(box.Run({"defaults", "Bookmarks", "^chapter"}).status, 0);
    ASSERT_EQ(box.Run({"defaults", "Tabs", "1"}).status, 0);
    EXPECT_NE(box.Run({"convert", "book.txt"}).out.find("1 bookmark\n"), std::string::npos);

    EXPECT_EQ(box.Run({"defaults", "--unset", "bookmarks"}).status, 0);
    EXPECT_EQ(box.Run({"defaults", "Bookmarks"}).status, 1);
    EXPECT_EQ(box.Run({"defaults", "Tabs"}).out, "1\n");
    EXPECT_NE(box.Run({"convert", "book.txt"}).out.find("0 bookmarks\n"), std::string::npos);
    EXPECT_EQ(box.Run({"defaults", "--unset", "Bookmarks"}).status, 0) << "removing what is not stored";

    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"defaults", "--unset"}, {"defaults", "--unset", "Colour"}, {"defaults", "--unset", "Tabs", "1"}})
        EXPECT_EQ(box.Run(wrong).status, 2) << wrong.back();
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
        // On/off values take only the numbers that mean on or off.
        {"defaults", "Tabs", "2"},
        {"defaults", "CRLFTNone", "4294967295"},
        {"defaults", "PalmDocCompressOn", "8"},
        {"defaults", "ShExt", "1"},
        {"defaults", "ShExt", "4"},
        {"defaults", "Dtop", "2147483648"},
        {"defaults", "zTxtBlock", "0"},
        {"defaults", "zTxtBlock", "32"},
        {"defaults", "Tabs", "1", "2"},
        {"defaults", "Bookmarks", std::string(4192, 'x')},
        // Stored, a pattern the engine refuses would stop every conversion.
        {"defaults", "Bookmarks", "("},
        {"defaults", "Bookmarks", "^chapter\r\n[part"},
    };
    for (const auto& args : wrong) {
        const RunResult run = box.Run(args);
        EXPECT_EQ(run.status, 2) << args[1] << ' ' << (args.size() > 2 ? args[2].substr(0, 20) : "");
    }
    EXPECT_EQ(box.Run({"defaults", "Tabs", "2"}).err, "folivo: Tabs takes 0 or 1, not '2'\nTry 'folivo --help'.\n");
    EXPECT_TRUE(box.Run({"defaults", "Bookmarks", "("})
                    .err.starts_with("folivo: invalid bookmark pattern '(': Unmatched marking parenthesis"));
    EXPECT_FALSE(fs::exists(box.Config() / "Kavvan Software")) << "nothing was stored";
    EXPECT_EQ(box.Run({"defaults", "Dtop", "-2147483648"}).status, 0);
    EXPECT_EQ(box.Run({"defaults", "Bookmarks", std::string(4191, 'x')}).status, 0);
    EXPECT_EQ(box.Run({"defaults", "ShExt", "0"}).status, 0);
}

TEST(DefaultsCommand, AValueOfTheOtherTypeIsListedAsUnreadableAndItsDefaultApplies)
{
    Sandbox box;
    box.Document("book.txt", "Chapter 1\none\n");
    box.WriteSettings("PalmDocBlock=string:\"\\x05\"\nBookmarks=dword:0x6863\nDtop=string:\"x\"\n");
    RunResult run = box.Run({"defaults"});
    EXPECT_EQ(run.status, 0);
    for (const char* name : {"PalmDocBlock", "Bookmarks", "Dtop"})
        EXPECT_NE(ListedLine(run.out, name).find(" unreadable "), std::string::npos) << ListedLine(run.out, name);
    EXPECT_NE(run.err.find("warning: Bookmarks is stored as DWORD, not SZ, so it is unreadable and its default "
                           "applies\n"),
              std::string::npos)
        << run.err;
    run = box.Run({"defaults", "PalmDocBlock"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "folivo: error: PalmDocBlock is stored as SZ, not DWORD, so it is unreadable and its default "
                       "applies\n");
    // Not the pattern "ch", nor 5 KB records.
    EXPECT_NE(box.Run({"convert", "book.txt"}).out.find("0 bookmarks\n"), std::string::npos);
    EXPECT_NE(box.Run({"info", "book.pdb"}).out.find("Record size:   4096 bytes\n"), std::string::npos);
}

TEST(DefaultsCommand, ValuesOutsideTheSectionAreWarnedOf)
{
    Sandbox box;
    box.Document("book.txt", "Chapter 1\none\n");
    fs::create_directories(box.SettingsFile().parent_path());
    WriteBytes(box.SettingsFile(), "Bookmarks=string:\"^chapter\"\n");
    const std::string warning = "warning: " + box.SettingsFile().string() + ": the value on line 1 is outside";
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"defaults"}, {"defaults", "Bookmarks"}, {"convert", "book.txt"}})
        EXPECT_NE(box.Run(args).err.find(warning), std::string::npos) << args.back();

    // The key's name in another case, behind a byte-order mark, is the key.
    WriteBytes(box.SettingsFile(),
               "\xEF\xBB\xBF[software\\kavvan software\\folivo converter\\defaults]\nBookmarks=string:\"^chapter\"\n");
    const RunResult run = box.Run({"convert", "book.txt"});
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("1 bookmark\n"), std::string::npos) << run.out;
}

TEST(DefaultsCommand, AValueThatCannotBeStoredSaysWhy)
{
    Sandbox box;
    fs::create_directories(box.SettingsFile().parent_path());
    fs::create_symlink(box.Config() / "gone" / "x.conf", box.SettingsFile());
    const RunResult run = box.Run({"defaults", "Dtop", "5"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "folivo: error: Dtop could not be stored: " + box.SettingsFile().string() +
                           ": a symbolic link to " + (box.Config() / "gone" / "x.conf").string() +
                           ": No such file or directory\n");
}
