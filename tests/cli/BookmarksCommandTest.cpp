// folivo bookmarks: listing, edits written back once, the listing read back
// byte for byte, and edits refused with the database left as it was.
#include "CliRun.h"

#include <palm/EbookWriters.h>

#include <sys/stat.h>

#include <algorithm>

using namespace clitest;

namespace {

const std::string kBook = "Prologue\nChapter One\nThe text.\nChapter Two\nMore text.\n";

// kBook as a database in `format` ("palmdoc" or "ztxt") with `bookmarks`, at docs/book.pdb.
std::string Database(const Sandbox& box, const std::string& format,
                     const Marks& bookmarks = {{"Chapter One", 9}, {"Chapter Two", 31}})
{
    const palm::BookContent content{"Book", kBook, bookmarks, 4096};
    std::string database;
    const palm::Result built = format == "palmdoc" ? palm::BuildPalmDoc(content, true, database)
                                                   : palm::BuildZtxt(content, palm::ZtxtMode::RandomAccess, database);
    EXPECT_TRUE(built.Ok()) << palm::Message(built);
    return box.Document("book.pdb", database);
}

// The database's bytes without its modification date.
std::string Undated(std::string bytes)
{
    return bytes.replace(40, 4, 4, '\0');
}

TEST(BookmarksCommand, ListsAsExtractDoesFromAFileOrStandardInput)
{
    for (const char* format : {"palmdoc", "ztxt"}) {
        Sandbox box;
        const std::string path = Database(box, format);
        const RunResult list = box.Run({"bookmarks", "book.pdb"});
        ASSERT_EQ(list.status, 0) << list.err;
        EXPECT_EQ(list.out, "9\tChapter One\n31\tChapter Two\n");
        EXPECT_EQ(list.out, box.Run({"extract", "--bookmarks", "book.pdb"}).out);
        EXPECT_EQ(box.Run({"bookmarks", "-"}, nullptr, path.c_str()).out, list.out);
    }
}

TEST(BookmarksCommand, EditsApplyInOrderAndKeepTheText)
{
    for (const char* format : {"palmdoc", "ztxt"}) {
        SCOPED_TRACE(format);
        Sandbox box;
        const std::string path = Database(box, format);
        // The pattern finds "Chapter One" again, on a line that holds a bookmark already.
        const RunResult run = box.Run({"bookmarks", "book.pdb", "--add=0", "Prologue", "--rename", "2", "First chapter",
                                       "--delete", "3", "--from-pattern", "^(chapter|more)", "--add", "54", "End"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "");
        const palm::EbookInfo info = ReadDatabase(path);
        EXPECT_EQ(info.text, kBook);
        EXPECT_EQ(info.bookmarks,
                  (Marks{{"Prologue", 0}, {"First chapter", 9}, {"Chapter Two", 31}, {"More text.", 43}, {"End", 54}}));

        ASSERT_EQ(box.Run({"bookmarks", "book.pdb", "--clear", "--add", "10", "b", "--add", "10", "c"}).status, 0);
        EXPECT_EQ(ReadDatabase(path).bookmarks, (Marks{{"b", 10}, {"c", 10}}));

        // PalmDoc keeps the order given, an added bookmark going before the
        // first one further on; zTXT keeps them by position.
        WriteBytes(box.Docs() / "list.txt", "30\ta\n10\tb\n");
        ASSERT_EQ(
            box.Run({"bookmarks", "book.pdb", "--import", "list.txt", "--add", "20", "x", "--add", "40", "y"}).status,
            0);
        EXPECT_EQ(ReadDatabase(path).bookmarks, std::string(format) == "palmdoc"
                                                    ? (Marks{{"x", 20}, {"a", 30}, {"b", 10}, {"y", 40}})
                                                    : (Marks{{"b", 10}, {"x", 20}, {"a", 30}, {"y", 40}}));
    }
}

TEST(BookmarksCommand, AListReadBackGivesTheSameDatabaseButItsDate)
{
    // Names of every kind a database holds, in its own bytes, each at most 15 bytes.
    const Marks names = {
        {"Plain", 0},
        {"\x93quoted\x94 caf\xE9", 5},
        {"caf\xC3\xA9 utf-8", 9},    // UTF-8
        {"\xC3\xA9 then \xE9", 12},  // not UTF-8 throughout
        {"\xC2\x9B"
         "2J \xC2\x85",
         20},                               // C1 controls in UTF-8
        {"u\x81 \x8D \x8F \x90 \x9D", 21},  // the five bytes Windows-1252 leaves out
        {"t\tb\x7F\x1B[0m\r\n", 30},        // C0 controls and DEL
        {"back\\x41\\slash", 31},
        {"", 40},
        {"\\", 54},
    };
    for (const char* format : {"palmdoc", "ztxt"}) {
        SCOPED_TRACE(format);
        Sandbox box;
        const std::string path = Database(box, format, names);
        const RunResult list = box.Run({"bookmarks", "book.pdb"});
        ASSERT_EQ(list.status, 0) << list.err;
        const std::string before = ReadBytes(path);
        WriteBytes(box.Docs() / "list.txt", list.out);

        RunResult run = box.Run({"bookmarks", "book.pdb", "--import", "list.txt"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(ReadDatabase(path).bookmarks, names);
        EXPECT_EQ(Undated(ReadBytes(path)), Undated(before));

        // From standard input, with CR LF line ends and an empty line.
        ASSERT_EQ(box.Run({"bookmarks", "book.pdb", "--clear"}).status, 0);
        std::string crlf;
        for (const std::string& line : Lines(list.out))
            crlf += line + "\r\n\r\n";
        run = box.RunWithInput({"bookmarks", "book.pdb", "--import", "-"}, crlf);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Undated(ReadBytes(path)), Undated(before));
    }
}

TEST(BookmarksCommand, LongNamesAreCutAtACharacterWithAWarning)
{
    struct Case {
        const char* format;
        std::vector<std::string> edit;
        std::string stored;
    };
    const Case cases[] = {
        {"palmdoc", {"--add", "1", "A name of twenty bytes"}, "A name of twent"},
        {"ztxt", {"--add", "1", "A name of twenty bytes"}, "A name of twenty byt"},
        // Typed in UTF-8, stored in Windows-1252: 17 characters, 17 bytes.
        {"palmdoc",
         {"--rename", "1", "\xC3\xA9t\xC3\xA9 \xE2\x80\x94 long r\xC3\xA9sum\xC3\xA9"},
         "\xE9t\xE9 \x97 long r\xE9su"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edit.back());
        Sandbox box;
        const std::string path = Database(box, c.format, {{"Old", 1}});
        std::vector<std::string> args = {"bookmarks", "book.pdb"};
        args.insert(args.end(), c.edit.begin(), c.edit.end());
        const RunResult run = box.Run(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.err.starts_with("folivo: warning: " + c.edit[0])) << run.err;
        const Marks stored = ReadDatabase(path).bookmarks;
        EXPECT_NE(std::find(stored.begin(), stored.end(), palm::StoredBookmark{c.stored, 1}), stored.end());
    }

    // A name given as UTF-8 bytes is cut before a character, not inside it.
    Sandbox box;
    const std::string path = Database(box, "palmdoc", {});
    std::string escaped;
    for (int i = 0; i < 8; ++i)
        escaped += "\\xC3\\xA9";
    WriteBytes(box.Docs() / "list.txt", "2\t" + escaped + "\n");
    const RunResult run = box.Run({"bookmarks", "book.pdb", "--import", "list.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("the name is cut to 15 bytes"), std::string::npos) << run.err;
    std::string seven;
    for (int i = 0; i < 7; ++i)
        seven += "\xC3\xA9";
    EXPECT_EQ(ReadDatabase(path).bookmarks, (Marks{{seven, 2}}));
}

TEST(BookmarksCommand, RefusedEditsLeaveTheFileAsItWas)
{
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string error;
    };
    const Case cases[] = {
        {{"--add", "55", "x"}, 1, "--add 55 x: position 55 is past the end of the text (54 bytes)"},
        {{"--add", "0", "fine", "--delete", "4"}, 1, "--delete 4: there is no bookmark 4 (the list holds 3)"},
        {{"--import", "bad.txt"}, 1, "--import bad.txt: line 3: no tab"},
        {{"--import", "past.txt"}, 1, "--import past.txt: line 1: position 60 is past the end"},
        {{"--import", "escape.txt"}, 1, "--import escape.txt: line 1: a backslash"},
        {{"--import", "missing.txt"}, 1, "--import missing.txt: cannot read missing.txt"},
        {{"--rename", "0", "x"}, 2, "--rename 0 x: '0' is no bookmark number"},
        {{"--add", "5"}, 2, "option '--add' needs 2 values"},
        {{"--from-pattern", "("}, 2, "--from-pattern (: invalid pattern"},
        {{"--clear", "-"}, 2, "bookmarks takes one database file"},
    };
    Sandbox box;
    const std::string path = Database(box, "ztxt");
    WriteBytes(box.Docs() / "bad.txt", "1\tone\n2\ttwo\nthree\n");
    WriteBytes(box.Docs() / "past.txt", "60\tpast\n");
    WriteBytes(box.Docs() / "escape.txt", "1\tC:\\books\n");
    const std::string before = ReadBytes(path);
    for (const Case& c : cases) {
        std::vector<std::string> args = {"bookmarks", "book.pdb"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const RunResult run = box.Run(args);
        EXPECT_EQ(run.status, c.status) << c.error;
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(path), before) << c.error;
    }
    const RunResult run = box.Run({"bookmarks", "-", "--clear"}, nullptr, path.c_str());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("edits need a database file"), std::string::npos) << run.err;
}

TEST(BookmarksCommand, ALinkedDatabaseStaysALinkAndKeepsItsMode)
{
    Sandbox box;
    const std::string path = Database(box, "palmdoc");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    fs::create_symlink("book.pdb", box.Docs() / "link.pdb");
    const RunResult run = box.Run({"bookmarks", "link.pdb", "--clear"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(box.Docs() / "link.pdb"));
    EXPECT_EQ(ReadDatabase(path).bookmarks, Marks{});
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(FileNamesIn(box.Docs()), (std::vector<std::string>{"book.pdb", "link.pdb"}));
}

}  // namespace
