// folivo under hostile and careless use: paths that are no regular file,
// input that never ends, damaged databases, names that try to steer the
// terminal, and texts the pattern engine or the formats cannot take.
#include "CliRun.h"

#include <palm/EbookWriters.h>

using namespace clitest;

namespace {

}  // namespace

TEST(HostileUse, OnlyRegularFilesAreReplacedAndLinksStayLinks)
{
    Sandbox box;
    box.Document("book.txt", "Chapter 1\ntext\n");
    ASSERT_EQ(box.Run({"convert", "book.txt"}).status, 0);
    const fs::path fifo = box.Docs() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const char* command : {"convert", "extract"}) {
        const RunResult run = box.Run({command, command[0] == 'c' ? "book.txt" : "book.pdb", "-o", "fifo"});
        EXPECT_EQ(run.status, 1) << command;
        // extract names the path once, not again inside the reason.
        const char* why = command[0] == 'c' ? "fifo: not a regular file" : "cannot write 'fifo': not a regular file\n";
        EXPECT_NE(run.err.find(why), std::string::npos) << run.err;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));

    // Through a link the file it leads to is replaced, keeping its mode; so
    // is the settings file.
    WriteBytes(box.Docs() / "target.pdb", "old");
    fs::permissions(box.Docs() / "target.pdb", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("target.pdb", box.Docs() / "link.pdb");
    ASSERT_EQ(box.Run({"convert", "book.txt", "-o", "link.pdb"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(box.Docs() / "link.pdb"));
    EXPECT_EQ(ReadDatabase(box.Docs() / "target.pdb").text, "Chapter 1\ntext\n");
    EXPECT_EQ(ModeOf(box.Docs() / "target.pdb"), 0600u);
    box.WriteSettings("");
    fs::rename(box.SettingsFile(), box.Config() / "kept.conf");
    fs::create_symlink("../kept.conf", box.SettingsFile());
    ASSERT_EQ(box.Run({"defaults", "Tabs", "1"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(box.SettingsFile()));
    EXPECT_NE(ReadBytes(box.Config() / "kept.conf").find("Tabs=dword:1"), std::string::npos);
}

TEST(HostileUse, ALineTooComplexForThePatternIsNamedAndTheScanGoesOn)
{
    Sandbox box;
    box.Document("hard.txt", "chapter zero\n" + std::string(15, 'a') + "!\nchapter two\n");
    const RunResult run = box.Run({"convert", "--no-defaults", "--bookmarks", "^chapter|^(a+)+$", "hard.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.ends_with(" bytes, 2 bookmarks\n")) << run.out;
    EXPECT_EQ(run.err, "folivo: warning: hard.txt: the bookmark pattern is too complex to search line 2; a bookmark "
                       "there is missing\n");
    EXPECT_EQ(ReadDatabase(box.Docs() / "hard.pdb").bookmarks.size(), 2u);
}

TEST(HostileUse, ZtxtKeepsLineBreaksMadeOfCrAlone)
{
    Sandbox box;
    const std::string lines = "Chapter 1\none\nChapter 2\ntwo\n";
    box.Document("lf.txt", lines);
    std::string crOnly = lines;
    std::replace(crOnly.begin(), crOnly.end(), '\n', '\r');
    box.Document("cr.txt", crOnly);
    for (const std::vector<std::string>& source :
         std::vector<std::vector<std::string>>{{"--lf-to-cr", "lf.txt"}, {"cr.txt"}}) {
        std::vector<std::string> args = {"convert", "--no-defaults", "--bookmarks", "^chapter", "-o", "book.pdb"};
        args.insert(args.end(), source.begin(), source.end());
        ASSERT_EQ(box.Run(args).status, 0) << source.back();
        const palm::EbookInfo palmDoc = ReadDatabase(box.Docs() / "book.pdb");
        args.insert(args.begin() + 1, {"--format", "ztxt"});
        ASSERT_EQ(box.Run(args).status, 0) << source.back();
        const palm::EbookInfo zTxt = ReadDatabase(box.Docs() / "book.pdb");
        EXPECT_EQ(zTxt.text, lines) << source.back();
        // Nothing is dropped, so the bookmarks lie where PalmDoc has them.
        EXPECT_EQ(zTxt.bookmarks.size(), 2u);
        ASSERT_EQ(zTxt.bookmarks.size(), palmDoc.bookmarks.size());
        for (std::size_t i = 0; i < zTxt.bookmarks.size(); ++i)
            EXPECT_EQ(zTxt.bookmarks[i].offset, palmDoc.bookmarks[i].offset) << i;
    }
}

TEST(HostileUse, ReadingTheDefaultsCreatesNothing)
{
    Sandbox box;
    box.Document("book.txt", "text\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"defaults"}, {"defaults", "Tabs"}, {"convert", "book.txt"}, {"defaults", "--unset", "Tabs"}})
        box.Run(args);
    EXPECT_TRUE(fs::is_empty(box.Config()));
    ASSERT_EQ(box.Run({"defaults", "Tabs", "1"}).status, 0);
    EXPECT_TRUE(fs::exists(box.SettingsFile()));
}

TEST(HostileUse, InputThatIsNoRegularFileOrTooLargeIsRefusedUnread)
{
    Sandbox box;
    ASSERT_EQ(::mkfifo((box.Docs() / "fifo").c_str(), 0600), 0);
    // Sparse: one byte more than 4 KB records can hold costs no disk.
    const fs::path huge = box.Docs() / "huge.txt";
    WriteBytes(huge, "x");
    fs::resize_file(huge, palm::MaxTextLength(4096) + 1);
    const struct {
        std::vector<std::string> args;
        const char* why;
    } cases[] = {
        {{"convert", "fifo"}, "fifo: not a regular file"},
        {{"convert", "/dev/zero", "-o", "zero.pdb"}, "/dev/zero: not a regular file"},
        {{"info", "fifo"}, "not a regular file"},
        {{"extract", "fifo"}, "not a regular file"},
        {{"convert", "huge.txt"}, "huge.txt: the document is larger than the"},
        {{"convert", "--block-size", "1", "huge.txt"}, "larger than"},
    };
    for (const auto& c : cases) {
        const RunResult run = box.Run(c.args);
        EXPECT_EQ(run.status, 1) << c.args[1];
        EXPECT_NE(run.err.find(c.why), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(box.Docs() / "huge.pdb"));
    EXPECT_FALSE(fs::exists(box.Docs() / "zero.pdb"));
}

TEST(HostileUse, DamagedDatabasesFailAndGiveWhatCanBeReadOnlyOnRequest)
{
    Sandbox box;
    const std::string text(6000, 'x');
    box.Document("book.txt", text);
    ASSERT_EQ(box.Run({"convert", "--no-defaults", "book.txt"}).status, 0);
    const std::string database = ReadBytes(box.Docs() / "book.pdb");
    // Record 0 starts after the header, the list of 3 entries and the gap.
    const std::size_t textRecordCount = 78 + 3 * 8 + 2 + 9;
    for (const char records : {'\0', '\1'}) {
        std::string damaged = database;
        damaged[textRecordCount] = records;
        WriteBytes(box.Docs() / "damaged.pdb", damaged);
        const std::string readable = text.substr(0, records * 4096);

        RunResult run = box.Run({"info", "damaged.pdb"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.out.find("Text records:  " + std::to_string(records)), std::string::npos) << run.out;
        EXPECT_NE(run.err.find("The database is damaged"), std::string::npos) << run.err;

        run = box.Run({"extract", "damaged.pdb"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("--salvage writes what can be read"), std::string::npos) << run.err;

        run = box.Run({"extract", "--salvage", "damaged.pdb"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, readable);
    }
}

TEST(HostileUse, NamesFromFilesCannotSteerTheTerminalOrBreakLines)
{
    Sandbox box;
    const std::string retitle = "\x1B]0;owned\x07";
    box.Document("book.txt", "Ch " + retitle + "\nText.\n");
    ASSERT_EQ(box.Run({"convert", "--no-defaults", "--allow-low-ascii", "--bookmarks", "^ch ", "--title", "T" + retitle,
                       "book.txt"})
                  .status,
              0);
    const std::string shown = "\\x1B]0;owned\\x07";
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"info", "book.pdb"}, {"extract", "--bookmarks", "book.pdb"}}) {
        const RunResult run = box.Run(args);
        EXPECT_EQ(run.status, 0) << args[0];
        EXPECT_EQ(run.out.find('\x1B'), std::string::npos) << args[0];
        EXPECT_NE(run.out.find(shown), std::string::npos) << run.out;
    }
    SetDefault(box, "Bookmarks", "^x" + retitle);
    EXPECT_EQ(box.Run({"defaults", "Bookmarks"}).out, "^x" + shown + "\n");

    // One line per file, whatever its name holds.
    box.Document("two\nlines.txt", "Text.\n");
    RunResult run = box.Run({"convert", "--no-defaults", "two\nlines.txt", "gone\nfile.txt"});
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(Lines(run.out).size(), 1u) << run.out;
    EXPECT_TRUE(run.out.starts_with("two\\nlines.pdb: ")) << run.out;
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_TRUE(run.err.starts_with("folivo: error: gone\\nfile.txt: ")) << run.err;
}

TEST(HostileUse, AnEmptyTextGivesNoDatabase)
{
    Sandbox box;
    box.Document("empty.txt", "");
    box.Document("tags.htm", "<p></p>&nbsp;");
    WriteBytes(box.Docs() / "tags.pdb", "an older database");
    for (const char* format : {"palmdoc", "ztxt"}) {
        for (const char* source : {"empty.txt", "tags.htm"}) {
            const RunResult run =
                box.Run({"convert", "--no-defaults", "--no-html-layout", "--strip-html", "--format", format, source});
            EXPECT_EQ(run.status, 1) << format << ' ' << source;
            EXPECT_NE(run.err.find("There is no text to write"), std::string::npos) << run.err;
        }
    }
    EXPECT_FALSE(fs::exists(box.Docs() / "empty.pdb"));
    EXPECT_EQ(ReadBytes(box.Docs() / "tags.pdb"), "an older database");
}
