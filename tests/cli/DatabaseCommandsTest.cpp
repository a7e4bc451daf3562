// folivo info and folivo extract on written, damaged and foreign files.
#include "CliRun.h"

#include <palm/EbookWriters.h>

using namespace clitest;

namespace {

const std::string kBook = "Prologue\nChapter One\nThe text.\nChapter Two\nMore text.\n";

// A database made by the command line itself from kBook, with two bookmarks.
std::string MakeDatabase(const Sandbox& box, const std::string& format)
{
    box.Document("book.txt", kBook);
    const RunResult run = box.Run(
        {"convert", "--no-defaults", "--format", format, "--bookmarks", "^chapter", "--title", "My Book", "book.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    return (box.Docs() / "book.pdb").string();
}

}  // namespace

TEST(InfoCommand, ShowsTheHeaderFieldsAndBookmarks)
{
    Sandbox box;
    MakeDatabase(box, "palmdoc");
    RunResult run = box.Run({"info", "book.pdb"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* expected :
         {"Format:        PalmDoc (type TEXt, creator REAd)\n", "Title:         My Book\n",
          "Compression:   PalmDoc (2)\n", "Record size:   4096 bytes\n", "Text records:  1 (of 4 records)\n",
          "Text length:   54 bytes\n", "Bookmarks:     2\n", "           9  Chapter One", "          31  Chapter Two"})
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\nin\n" << run.out;

    MakeDatabase(box, "ztxt");
    run = box.Run({"info", "book.pdb"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Format:        zTXT "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Compression:   random access (1)\n"), std::string::npos) << run.out;
}

TEST(ExtractCommand, WritesTheTextOrTheBookmarks)
{
    Sandbox box;
    MakeDatabase(box, "ztxt");
    RunResult run = box.Run({"extract", "book.pdb"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kBook);

    run = box.Run({"extract", "--bookmarks", "book.pdb"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 3), "9\tC");
    EXPECT_NE(run.out.find("\n31\tChapter Two"), std::string::npos) << run.out;

    // -o replaces an existing file as a whole and keeps its permissions.
    WriteBytes(box.Docs() / "out.txt", "old content that is longer than the new one, much longer indeed");
    fs::permissions(box.Docs() / "out.txt", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    run = box.Run({"extract", "book.pdb", "-o", "out.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadBytes(box.Docs() / "out.txt"), kBook);
    EXPECT_EQ(fs::status(box.Docs() / "out.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // No temporary file beside them.
    EXPECT_EQ(FileNamesIn(box.Docs()), (std::vector<std::string>{"book.pdb", "book.txt", "out.txt"}));

    run = box.Run({"extract", "book.pdb", "-o", "no/such/folder/out.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("folivo: error: cannot create a file in the folder of"), std::string::npos) << run.err;

    if (fs::exists("/dev/full")) {
        run = box.Run({"extract", "book.pdb"}, "/dev/full");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "folivo: error: cannot write to standard output\n");
    }

    run = box.Run({"extract", "book.pdb", "-o", "./book.pdb"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("is the database itself"), std::string::npos) << run.err;
    EXPECT_EQ(box.Run({"extract", "book.pdb"}).out, kBook);
}

TEST(DatabaseCommands, NamesAreShownInUtf8WithControlsEscapedAndTheTextKeepsItsBytes)
{
    // Each stored name, how a UTF-8 terminal is shown it, and how a list of
    // bookmarks shows it when that differs: each backslash doubled, and as
    // its bytes when its characters would come back as other bytes.
    struct Name {
        std::string stored, shown, listed = {};
    };
    const Name names[] = {
        {"Plain name", "Plain name"},
        {"caf\xC3\xA9 \xE2\x80\x9Cok\xE2\x80\x9D", "caf\xC3\xA9 \xE2\x80\x9Cok\xE2\x80\x9D",  // UTF-8 as it is
         "caf\\xC3\\xA9 \\xE2\\x80\\x9Cok\\xE2\\x80\\x9D"},
        {"\x93quoted\x94 caf\xE9", "\xE2\x80\x9Cquoted\xE2\x80\x9D caf\xC3\xA9"},  // Windows-1252
        {"\xC3\xA9 then \xE9", "\xC3\x83\xC2\xA9 then \xC3\xA9"},  // not UTF-8 throughout: all Windows-1252
        {"\x9B"
         "31m",
         "\xE2\x80\xBA"
         "31m"},  // a Windows-1252 character, no control
        {"\xC2\x9B"
         "2J \xC2\x85",
         "\\x9B2J \\x85", "\\xC2\\x9B2J \\xC2\\x85"},                     // C1 controls in UTF-8
        {"u\x81 \x8D \x8F \x90 \x9D", "u\\x81 \\x8D \\x8F \\x90 \\x9D"},  // the five unassigned bytes
        {"t\tb\x7F\x1B[0m\r\n", "t\\x09b\\x7F\\x1B[0m\\r\\n"},
        {"\xE9t\xE9 \\x41", "\xC3\xA9t\xC3\xA9 \\x41", "\xC3\xA9t\xC3\xA9 \\\\x41"},  // a backslash
    };
    const std::string text = "Text \x93kept\x94 \xC2\x9B as bytes\n";
    palm::BookContent content{"\x93Title\x94", text, {}, 4096};
    std::string expected;
    for (std::uint32_t i = 0; i < std::size(names); ++i) {
        content.bookmarks.push_back({names[i].stored, i});
        expected += std::to_string(i) + '\t' + (names[i].listed.empty() ? names[i].shown : names[i].listed) + '\n';
    }
    std::string database;
    ASSERT_TRUE(palm::BuildZtxt(content, palm::ZtxtMode::RandomAccess, database).Ok());
    Sandbox box;
    box.Document("names.pdb", database);

    RunResult run = box.Run({"extract", "--bookmarks", "names.pdb"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected);
    run = box.Run({"info", "names.pdb"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Title:         \xE2\x80\x9CTitle\xE2\x80\x9D\n"), std::string::npos) << run.out;
    for (std::uint32_t i = 0; i < std::size(names); ++i)
        EXPECT_NE(run.out.find(std::to_string(i) + "  " + names[i].shown + '\n'), std::string::npos) << i << run.out;
    EXPECT_EQ(box.Run({"extract", "names.pdb"}).out, text);
}

TEST(DatabaseCommands, DamagedForeignAndMissingFilesAreClearErrors)
{
    Sandbox box;
    const std::string database = ReadBytes(MakeDatabase(box, "palmdoc"));
    WriteBytes(box.Docs() / "cut.pdb", database.substr(0, database.size() / 2));
    WriteBytes(box.Docs() / "short.pdb", database.substr(0, 40));
    std::string foreign = database;
    foreign.replace(60, 8, "DATAxxxx");
    WriteBytes(box.Docs() / "foreign.pdb", foreign);

    for (const char* name : {"cut.pdb", "short.pdb", "foreign.pdb", "book.txt", "missing.pdb"}) {
        for (const char* command : {"info", "extract"}) {
            const RunResult run = box.Run({command, name});
            EXPECT_EQ(run.status, 1) << command << ' ' << name;
            EXPECT_TRUE(run.err.starts_with(std::string("folivo: error: ") + name + ": ")) << run.err;
            EXPECT_EQ(run.out, "") << command << ' ' << name;
        }
    }
    EXPECT_EQ(box.Run({"info"}).status, 2);
    EXPECT_EQ(box.Run({"info", "a.pdb", "b.pdb"}).status, 2);
    EXPECT_EQ(box.Run({"extract", "book.pdb", "-o"}).status, 2);
}
