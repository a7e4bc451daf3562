// folivo convert: stored defaults and options, batches, and every way a file can fail.
#include "CliRun.h"

#include <algorithm>
#include <set>

using namespace clitest;

namespace {

const std::string kStory = "Title line\r\n\r\nChapter 1\r\nIt was\tquiet.\r\n\r\nChapter 2\r\nThe end.\r\n";

std::vector<std::uint32_t> Offsets(const palm::EbookInfo& info)
{
    std::vector<std::uint32_t> offsets;
    for (const palm::StoredBookmark& bookmark : info.bookmarks)
        offsets.push_back(bookmark.offset);
    return offsets;
}

}  // namespace

TEST(ConvertCommand, StoredDefaultsAreUsedAndOptionsOverrideThem)
{
    Sandbox box;
    SetDefaults(box, {{"Bookmarks", "^chapter \\d"},
                      {"CRLFCR", "1"},
                      {"Tabs", "1"},
                      {"PalmDocBlock", "2"},
                      {"PalmDocCompressOn", "0"}});
    const std::string source = box.Document("story.txt", kStory);
    const fs::path database = box.Docs() / "story.pdb";

    RunResult run = box.Run({"convert", "story.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "story.pdb: " + std::to_string(fs::file_size(database)) + " bytes, 2 bookmarks\n");
    EXPECT_EQ(run.err, "");
    palm::EbookInfo info = ReadDatabase(database);
    const std::string prepared = "Title line\n\nChapter 1\nIt was\nquiet.\n\nChapter 2\nThe end.\n";
    EXPECT_EQ(info.text, prepared);
    EXPECT_EQ(info.title, "story");
    EXPECT_EQ(info.recordSize, 2048u);
    EXPECT_EQ(info.compression, 1);
    EXPECT_EQ(Offsets(info), (std::vector<std::uint32_t>{12, 37}));
    ASSERT_EQ(info.bookmarks.size(), 2u);
    EXPECT_TRUE(info.bookmarks[0].name.starts_with("Chapter 1"));

    run = box.Run({"convert", "--bookmarks", "^chapter 2", "--block-size", "5", "--title", "Told", "story.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    info = ReadDatabase(database);
    EXPECT_EQ(info.text, prepared);
    EXPECT_EQ(info.title, "Told");
    EXPECT_EQ(info.recordSize, 5120u);
    EXPECT_EQ(info.compression, 1);  // still the stored "off"
    EXPECT_EQ(Offsets(info), (std::vector<std::uint32_t>{37}));
    EXPECT_TRUE(FileNamesIn(box.Temp()).empty());
}

TEST(ConvertCommand, NoDefaultsIgnoresTheStoreAndTakesOnlyTheOptions)
{
    Sandbox box;
    SetDefaults(box, {{"Bookmarks", "two"}, {"Tabs", "1"}, {"zTxtBlock", "1"}, {"zTxtCompressRandom", "0"}});
    box.Document("page.html", "<p>one\ntwo</p>\n\n<b>three</b>&nbsp;\tfour");

    RunResult run = box.Run({"convert", "--no-defaults", "--format", "ztxt", "--no-html-layout", "--strip-html",
                             "--join-lines", "page.html"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    palm::EbookInfo info = ReadDatabase(box.Docs() / "page.pdb");
    EXPECT_EQ(info.format, palm::EbookFormat::Ztxt);
    EXPECT_EQ(info.text, "one two\n\nthree\tfour");
    EXPECT_EQ(info.recordSize, 8192u);
    EXPECT_EQ(info.compression, 1);
    EXPECT_TRUE(info.bookmarks.empty());

    // Entire-document compression is written as asked, with a warning about readers.
    run = box.Run(
        {"convert", "--no-defaults", "--format=ztxt", "--no-compress", "--remove-lf", "--no-html-layout", "page.html"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("warning: current readers reject zTXT entire-document compression"), std::string::npos);
    info = ReadDatabase(box.Docs() / "page.pdb");
    EXPECT_EQ(info.compression, 2);
    EXPECT_EQ(info.text, "<p>onetwo</p><b>three</b>&nbsp;\tfour");
}

TEST(ConvertCommand, EachFailingFileIsReportedInOrderAndTheOthersAreConverted)
{
    Sandbox box;
    box.Document("first.txt", kStory);
    box.Document("last.txt", "Last\n");
    fs::create_directory(box.Docs() / "folder.txt");
    const std::string existing = "an existing database stays as it was";
    WriteBytes(box.Docs() / "missing.pdb", existing);

    const RunResult run = box.Run({"convert", "--jobs", "2", "first.txt", "missing.txt", "folder.txt", "last.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.out),
              (std::vector<std::string>{
                  "first.pdb: " + std::to_string(fs::file_size(box.Docs() / "first.pdb")) + " bytes, 0 bookmarks",
                  "last.pdb: " + std::to_string(fs::file_size(box.Docs() / "last.pdb")) + " bytes, 0 bookmarks"}));
    const std::vector<std::string> errors = Lines(run.err);
    ASSERT_EQ(errors.size(), 2u) << run.err;
    EXPECT_EQ(errors[0], "folivo: error: missing.txt: No such file or directory");
    EXPECT_EQ(errors[1], "folivo: error: folder.txt: Is a directory");
    EXPECT_EQ(ReadBytes(box.Docs() / "missing.pdb"), existing);
    EXPECT_FALSE(fs::exists(box.Docs() / "folder.pdb"));
    EXPECT_TRUE(FileNamesIn(box.Temp()).empty());
}

TEST(ConvertCommand, AnInvalidPatternGivenOrStoredConvertsNothing)
{
    Sandbox box;
    box.Document("story.txt", kStory);
    box.Document("other.txt", kStory);
    RunResult run = box.Run({"convert", "--bookmarks", "(chapter", "story.txt", "other.txt"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with("folivo: invalid bookmark pattern '(chapter' (--bookmarks): ")) << run.err;
    EXPECT_NE(run.err.find("parenthesis"), std::string::npos) << run.err;

    // `defaults` refuses such a pattern; one stored by hand or by an older version stops conversions still.
    box.WriteSettings("Bookmarks=string:\"[chapter\"\n");
    run = box.Run({"convert", "story.txt"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("(the stored default Bookmarks)"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(box.Docs() / "story.pdb"));
    EXPECT_FALSE(fs::exists(box.Docs() / "other.pdb"));
    // A pattern given on the command line replaces the stored one.
    EXPECT_EQ(box.Run({"convert", "--bookmarks", "^chapter", "story.txt"}).status, 0);
}

TEST(ConvertCommand, WriterFailuresAreReportedAndLeaveNoFile)
{
    Sandbox box;
    box.Document("story.txt", kStory);
    RunResult run = box.Run({"convert", "-o", "no/such/folder/story.pdb", "story.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("folivo: error: story.txt: The output folder cannot be written"), std::string::npos)
        << run.err;

    // 64 MiB in 1 KB records needs more than the 65535 records a database can
    // hold: the document is refused before it is read.
    box.Document("huge.txt", std::string(64u << 20, 'a'));
    WriteBytes(box.Docs() / "huge.pdb", "kept");
    run = box.Run({"convert", "--block-size", "1", "--no-compress", "huge.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("folivo: error: huge.txt: the document is larger than the"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(box.Docs() / "huge.pdb"), "kept");
    // Standard input, whose size shows only as it is read, gets the same reason under its own name.
    run = box.Run({"convert", "--block-size", "1", "--no-compress", "-", "-o", "huge.pdb"}, nullptr,
                  (box.Docs() / "huge.txt").c_str());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("folivo: error: standard input: the document is larger than the"), std::string::npos)
        << run.err;
    EXPECT_EQ(ReadBytes(box.Docs() / "huge.pdb"), "kept");
    EXPECT_TRUE(FileNamesIn(box.Temp()).empty());
}

TEST(ConvertCommand, ParallelJobsGiveTheSameDatabasesAsOneJob)
{
    Sandbox box;
    std::vector<std::string> args = {"convert", "--bookmarks", "^chapter"};
    for (int i = 0; i < 6; ++i) {
        std::string text;
        for (int chapter = 1; chapter <= 3 + i; ++chapter)
            text += "Chapter " + std::to_string(chapter) + "\n" + std::string(2000u * (i + 1), 'a' + i) + "\n";
        args.push_back(box.Document("book" + std::to_string(i) + ".txt", text));
    }
    fs::create_directory(box.Docs() / "one");
    fs::create_directory(box.Docs() / "two");
    std::vector<std::string> serial = args;
    serial.insert(serial.begin() + 1, {"--jobs", "1", "-o", "one"});
    std::vector<std::string> parallel = args;
    parallel.insert(parallel.begin() + 1, {"--jobs", "2", "-o", "two"});

    const RunResult first = box.Run(serial);
    const RunResult second = box.Run(parallel);
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(second.status, 0) << second.err;
    std::string expected = first.out;
    for (std::size_t at; (at = expected.find("one/")) != std::string::npos;)
        expected.replace(at, 4, "two/");
    EXPECT_EQ(second.out, expected);
    for (int i = 0; i < 6; ++i) {
        const std::string name = "book" + std::to_string(i) + ".pdb";
        const palm::EbookInfo a = ReadDatabase(box.Docs() / "one" / name);
        const palm::EbookInfo b = ReadDatabase(box.Docs() / "two" / name);
        EXPECT_EQ(a.text, b.text) << name;
        EXPECT_EQ(a.bookmarks, b.bookmarks) << name;
        EXPECT_EQ(a.bookmarks.size(), 3u + i) << name;
    }
    EXPECT_TRUE(FileNamesIn(box.Temp()).empty());
}

TEST(ConvertCommand, OutputPathsAreNeverSharedOrTheDocumentItself)
{
    Sandbox box;
    box.Document("tale.txt", "one\n");
    box.Document("tale.htm", "two\n");
    box.Document("book.txt", "not a database yet");
    fs::create_symlink("book.txt", box.Docs() / "book.pdb");

    RunResult run = box.Run({"convert", "-o", "named.pdb", "tale.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadDatabase(box.Docs() / "named.pdb").title, "tale");

    fs::create_directory(box.Docs() / "out");
    run = box.Run({"convert", "-o", "out", "tale.txt", "tale.htm"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadDatabase(box.Docs() / "out" / "tale.pdb").text, "one\n");
    EXPECT_NE(run.err.find("tale.htm: an earlier file is converted to the same database"), std::string::npos)
        << run.err;

    run = box.Run({"convert", "book.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("would replace the document itself"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(box.Docs() / "book.txt"), "not a database yet");
    run = box.Run({"convert", "-o", "./book.txt", "book.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("-o names the document itself"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(box.Docs() / "book.txt"), "not a database yet");
    // A hard link is the document under another name.
    fs::create_hard_link(box.Docs() / "tale.txt", box.Docs() / "tale.pdb");
    run = box.Run({"convert", "tale.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("would replace the document itself"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(box.Docs() / "tale.txt"), "one\n");
}

TEST(ConvertCommand, UsageErrorsExitWithTwoAndConvertNothing)
{
    Sandbox box;
    box.Document("a.txt", "a\n");
    box.Document("b.txt", "b\n");
    const std::vector<std::vector<std::string>> wrong = {
        {"convert"},
        {"convert", "--bogus", "a.txt"},
        {"convert", "a.txt", "--format"},
        {"convert", "--format", "rtf", "a.txt"},
        {"convert", "--block-size", "32", "a.txt"},
        {"convert", "--block-size", "0", "a.txt"},
        {"convert", "--block-size", "4k", "a.txt"},
        {"convert", "--block-size", "+4", "a.txt"},
        {"convert", "--jobs", "0", "a.txt"},
        {"convert", "--jobs", "-1", "a.txt"},
        {"convert", "--title", "T", "a.txt", "b.txt"},
        {"convert", "--remove-cr", "--remove-lf", "a.txt"},
        {"convert", "--cr-to-lf", "--lf-to-cr", "a.txt"},
        {"convert", "--strip-html=yes", "a.txt"},
        {"convert", "-o", "nofolder", "a.txt", "b.txt"},
        {"frobnicate"},
        {},
    };
    for (const auto& args : wrong) {
        const RunResult run = box.Run(args);
        std::string shown;
        for (const std::string& arg : args)
            shown += arg + ' ';
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_NE(run.err.find("Try 'folivo --help'."), std::string::npos) << shown;
    }
    EXPECT_FALSE(fs::exists(box.Docs() / "a.pdb"));
    EXPECT_FALSE(fs::exists(box.Docs() / "b.pdb"));
}

TEST(ConvertCommand, InstallQueuesTheWrittenDatabaseForAnExistingUser)
{
    Sandbox box;
    fs::create_directories(box.HotSync() / "Ann" / "Install");
    box.Document("story.txt", kStory);
    RunResult run = box.Run({"convert", "-o", "chosen.pdb", "--install", "Ann", "story.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(box.HotSync() / "Ann" / "Install" / "chosen.pdb"), ReadBytes(box.Docs() / "chosen.pdb"));

    run = box.Run({"convert", "--install", "Nobody", "story.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("story.txt: not queued for 'Nobody': No such hand-held user"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(box.Docs() / "story.pdb"));
}

TEST(ConvertCommand, TwoBooksOfOneFileNameAreBothQueuedWithAWordOnTheirTitle)
{
    Sandbox box;
    fs::create_directories(box.HotSync() / "Ann" / "Install");
    for (const char* folder : {"one", "two"})
        fs::create_directory(box.Docs() / folder);
    box.Document("one/a.txt", kStory);
    box.Document("two/a.txt", "Another book\n");
    const RunResult run = box.Run({"convert", "--install", "Ann", "one/a.txt", "two/a.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    // The two are converted at once: either may come first.
    const fs::path queue = box.HotSync() / "Ann" / "Install";
    EXPECT_EQ(
        std::set<std::string>({ReadBytes(queue / "a.pdb"), ReadBytes(queue / "a-2.pdb")}),
        std::set<std::string>({ReadBytes(box.Docs() / "one" / "a.pdb"), ReadBytes(box.Docs() / "two" / "a.pdb")}));
    EXPECT_NE(run.err.find("a.txt: Queued, but the hand-held keeps only one database of a name"), std::string::npos)
        << run.err;
}

TEST(ConvertCommand, HelpDocumentsEveryOptionAndVersionIsTheProjects)
{
    Sandbox box;
    const RunResult help = box.Run({"convert", "--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--format",         "--block-size",      "--no-compress",       "--remove-cr",
                               "--remove-lf",      "--cr-to-lf",        "--lf-to-cr",          "--join-lines",
                               "--tabs-to-breaks", "--allow-low-ascii", "--strip-html",        "--no-remove-cr",
                               "--no-remove-lf",   "--no-cr-to-lf",     "--no-lf-to-cr",       "--no-join-lines",
                               "--no-strip-html",  "--bookmarks",       "--no-tabs-to-breaks", "--no-allow-low-ascii",
                               "--title",          "-o PATH",           "--install",           "--jobs",
                               "--no-defaults",    "--keep-encoding",   "--no-keep-encoding",  "Exit status"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    // Each command's help is its own part of the whole.
    const RunResult whole = box.Run({"--help"});
    for (const char* command : {"convert", "info", "extract", "bookmarks", "defaults"}) {
        const RunResult one = box.Run({command, "--help"});
        EXPECT_EQ(one.status, 0) << command;
        EXPECT_NE(one.out.find(std::string("\nfolivo ") + command + " "), std::string::npos) << command;
        EXPECT_NE(whole.out.find(std::string("\nfolivo ") + command + " "), std::string::npos) << command;
        EXPECT_LT(one.out.size(), whole.out.size()) << command;
        EXPECT_EQ(box.Run({"help", command}).out, one.out) << command;
    }
    EXPECT_EQ(help.out.find("folivo extract"), std::string::npos);
    const RunResult version = box.Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "folivo " FOLIVO_VERSION "\n");
}

TEST(ConvertCommand, StandardInputAndOutputStandForFiles)
{
    Sandbox box;
    RunResult run = box.RunWithInput({"convert", "--bookmarks", "^chapter", "-", "-o", "-"}, kStory);
    ASSERT_EQ(run.status, 0) << run.err;
    WriteBytes(box.Docs() / "streamed.pdb", run.out);
    palm::EbookInfo info = ReadDatabase(box.Docs() / "streamed.pdb");
    EXPECT_EQ(info.text, kStory);
    EXPECT_EQ(info.title, "Untitled");
    EXPECT_EQ(info.bookmarks.size(), 2u);
    // Standard output holds the database: the summary goes to standard error.
    EXPECT_EQ(run.err, "standard output: " + std::to_string(run.out.size()) + " bytes, 2 bookmarks\n");
    EXPECT_TRUE(FileNamesIn(box.Temp()).empty());

    run = box.RunWithInput({"convert", "--format", "ztxt", "-", "-o", "named.pdb"}, kStory);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadDatabase(box.Docs() / "named.pdb").title, "named");

    // The database commands read standard input and write standard output too.
    run = box.RunWithInput({"info", "-"}, ReadBytes(box.Docs() / "streamed.pdb"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("File:          standard input\n"), std::string::npos) << run.out;
    EXPECT_EQ(box.RunWithInput({"extract", "-", "-o", "-"}, ReadBytes(box.Docs() / "named.pdb")).out,
              "Title line\n\nChapter 1\nIt was\tquiet.\n\nChapter 2\nThe end.\n");
    EXPECT_EQ(box.RunWithInput({"info", "-"}, "not a database").status, 1);

    box.Document("a.txt", "a\n");
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"convert", "-"},
             {"convert", "-", "a.txt", "-o", "out"},
             {"convert", "a.txt", "a.txt", "-o", "-"},
             {"convert", "a.txt", "-o", "-", "--install", "Ann"},
         })
        EXPECT_EQ(box.Run(wrong).status, 2) << wrong[1] << ' ' << wrong[2];
}

TEST(ConvertCommand, NoFormsSwitchStoredRulesOffAndFormatIgnoresCase)
{
    Sandbox box;
    SetDefaults(box, {{"Single", "1"}, {"CRLFCR", "1"}, {"HTML", "1"}});
    box.Document("page.txt", "one\r\ntwo<b>!</b>\r\n\r\nthree");
    RunResult run = box.Run({"convert", "--no-join-lines", "--no-remove-cr", "--format", "PalmDOC", "page.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    palm::EbookInfo info = ReadDatabase(box.Docs() / "page.pdb");
    EXPECT_EQ(info.format, palm::EbookFormat::PalmDoc);
    EXPECT_EQ(info.text, "one\r\ntwo!\r\n\r\nthree") << "only the HTML rule is left";

    // Switching off a rule that is not stored changes nothing.
    run = box.Run({"convert", "--no-lf-to-cr", "--no-tabs-to-breaks", "--format", "ZTXT", "page.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    info = ReadDatabase(box.Docs() / "page.pdb");
    EXPECT_EQ(info.format, palm::EbookFormat::Ztxt);
    EXPECT_EQ(info.text, "one two!\n\nthree");

    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"--join-lines", "--no-join-lines"},
             {"--no-strip-html", "--strip-html"},
             {"--remove-cr", "--no-remove-cr"},
             {"--no-cr-to-lf", "--cr-to-lf"},
         }) {
        const RunResult refused = box.Run({"convert", wrong[0], wrong[1], "page.txt"});
        EXPECT_EQ(refused.status, 2) << wrong[0] << ' ' << wrong[1];
        EXPECT_NE(refused.err.find("contradicts"), std::string::npos) << refused.err;
    }
}

// UTF-8 in, Windows-1252 out, with the characters it lacks counted in a
// warning; --keep-encoding and a stored Charset 0 keep the bytes; with tags
// removed, character references are decoded once.
TEST(ConvertCommand, UnicodeBecomesTheHandheldsCharacterSetUnlessKept)
{
    Sandbox box;
    const std::string utf8 = "\xE2\x80\x9C"
                             "Caf\xC3\xA9\xE2\x80\x9D \xE2\x84\x95\n";
    box.Document("cafe.txt", utf8);
    RunResult run = box.Run({"convert", "cafe.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadDatabase(box.Docs() / "cafe.pdb").text, "\x93"
                                                          "Caf\xE9\x94 N\n");
    EXPECT_NE(run.err.find("warning: cafe.txt: 1 character the hand-held's character set lacks"), std::string::npos)
        << run.err;

    run = box.Run({"convert", "--keep-encoding", "cafe.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadDatabase(box.Docs() / "cafe.pdb").text, utf8);
    EXPECT_EQ(run.err, "");
    SetDefault(box, "Charset", "0");
    ASSERT_EQ(box.Run({"convert", "cafe.txt"}).status, 0);
    EXPECT_EQ(ReadDatabase(box.Docs() / "cafe.pdb").text, utf8);
    ASSERT_EQ(box.Run({"convert", "--no-keep-encoding", "cafe.txt"}).status, 0);
    EXPECT_EQ(ReadDatabase(box.Docs() / "cafe.pdb").text, "\x93"
                                                          "Caf\xE9\x94 N\n");

    box.Document("page.htm", "<p>&lt;b&gt; &amp;lt; caf&eacute;&#8217;s&nbsp;end</p>");
    ASSERT_EQ(box.Run({"convert", "--no-keep-encoding", "--no-html-layout", "--strip-html", "page.htm"}).status, 0);
    EXPECT_EQ(ReadDatabase(box.Docs() / "page.pdb").text, "<b> &lt; caf\xE9\x92send");

    // A comment that never closes loses nothing, and the user is told.
    box.Document("open.htm", "if 1 < 2 then\n<!-- the rest\nof the book\n");
    const RunResult open = box.Run({"convert", "--no-html-layout", "--strip-html", "open.htm"});
    ASSERT_EQ(open.status, 0) << open.err;
    EXPECT_EQ(ReadDatabase(box.Docs() / "open.pdb").text, "if 1 < 2 then\n<!-- the rest\nof the book\n");
    EXPECT_EQ(open.err, "folivo: warning: open.htm: the HTML tag \"<!-- the rest\" never closes, so it and the text "
                        "after it were kept as text\n");
}

TEST(ConvertCommand, MessagesNameTheirCause)
{
    Sandbox box;
    box.Document("in.txt", "Some text.\n");

    box.WriteSettings("PalmDocBlock=dword:64\n");
    RunResult run = box.Run({"convert", "in.txt"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("PalmDocBlock=64"), std::string::npos) << run.err;
    EXPECT_EQ(box.Run({"convert", "--block-size", "4", "in.txt"}).status, 0);

    // Unreadable stored defaults are reported, not taken for "none stored".
    fs::remove(box.SettingsFile());
    fs::create_directory(box.SettingsFile());
    run = box.Run({"convert", "in.txt"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("warning: the stored defaults cannot be read"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Is a directory"), std::string::npos) << run.err;
    run = box.Run({"defaults"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Is a directory"), std::string::npos) << run.err;
    fs::remove(box.SettingsFile());
    box.WriteSettings(std::string(5u << 20, '#'));
    EXPECT_NE(box.Run({"convert", "in.txt"}).err.find("larger than 4 MB"), std::string::npos);
    EXPECT_NE(box.Run({"defaults", "Tabs"}).err.find("Tabs cannot be read"), std::string::npos);
    EXPECT_NE(box.Run({"defaults", "Tabs", "1"}).err.find("Tabs could not be stored"), std::string::npos);
    if (::geteuid() != 0) {
        box.WriteSettings("Tabs=dword:1\n");
        fs::permissions(box.SettingsFile(), fs::perms::none);
        EXPECT_NE(box.Run({"defaults", "Tabs"}).err.find("Permission denied"), std::string::npos);
    }
    fs::remove(box.SettingsFile());

    run = box.Run({"info", "in.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no Palm database header"), std::string::npos) << run.err;

    run = box.Run({"convert", "in.txt", "-o", "in.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("-o names the document itself"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("use -o"), std::string::npos) << run.err;

    // Records above 4 KB are warned of in PalmDoc, not in zTXT (8 KB is its usual size).
    run = box.Run({"convert", "--block-size", "8", "in.txt"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("some PalmDoc readers accept only 4 KB records"), std::string::npos) << run.err;
    EXPECT_EQ(box.Run({"convert", "--format", "ztxt", "in.txt"}).err, "");

    // A leading dot is part of the name.
    box.Document(".notes", "Some notes.\n");
    ASSERT_EQ(box.Run({"convert", ".notes"}).status, 0);
    EXPECT_EQ(ReadDatabase(box.Docs() / ".notes.pdb").title, ".notes");
}

TEST(ConvertCommand, TheSummaryCountsTheBookmarksTheDatabaseHolds)
{
    Sandbox box;
    std::string text;
    for (int chapter = 1; chapter <= 3000; ++chapter)
        text += "Chapter " + std::to_string(chapter) + "\n";
    box.Document("long.txt", text);
    // One zTXT bookmark record holds 65505 / 24 = 2729 entries.
    // Bookmarks left out are a partial result.
    const RunResult run = box.Run({"convert", "--format", "ztxt", "--bookmarks", "^chapter", "long.txt"});
    ASSERT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(ReadDatabase(box.Docs() / "long.pdb").bookmarks.size(), 2729u);
    EXPECT_TRUE(run.out.ends_with(" bytes, 2729 bookmarks\n")) << run.out;
    EXPECT_NE(run.err.find("271 bookmarks were dropped: no room was left in the database (only 2729 fit)"),
              std::string::npos)
        << run.err;
}
