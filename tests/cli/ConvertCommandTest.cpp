// folivo convert: stored defaults and options, batches, and every way a file can fail.
#include "CliRun.h"

#include <palm/EbookReader.h>

#include <algorithm>
#include <sstream>

using namespace clitest;

namespace {

const std::string kStory = "Title line\r\n\r\nChapter 1\r\nIt was\tquiet.\r\n\r\nChapter 2\r\nThe end.\r\n";

palm::EbookInfo ReadDatabase(const fs::path& path)
{
    palm::EbookInfo info;
    const palm::Result result = palm::ReadEbookFile(path.string(), info);
    EXPECT_TRUE(result.Ok()) << path << ": " << palm::Message(result);
    return info;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::uint32_t> Offsets(const palm::EbookInfo& info)
{
    std::vector<std::uint32_t> offsets;
    for (const palm::StoredBookmark& bookmark : info.bookmarks)
        offsets.push_back(bookmark.offset);
    return offsets;
}

void SetDefault(const Sandbox& box, const std::string& name, const std::string& value)
{
    ASSERT_EQ(box.Run({"defaults", name, value}).status, 0) << name;
}

}  // namespace

TEST(ConvertCommand, StoredDefaultsAreUsedAndOptionsOverrideThem)
{
    Sandbox box;
    SetDefault(box, "Bookmarks", "^chapter \\d");
    SetDefault(box, "CRLFCR", "1");
    SetDefault(box, "Tabs", "2");  // any non-zero value counts, as in the desktop's direct conversion
    SetDefault(box, "PalmDocBlock", "2");
    SetDefault(box, "PalmDocCompressOn", "0");
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
    EXPECT_TRUE(box.TemporaryLeftovers().empty());
}

TEST(ConvertCommand, NoDefaultsIgnoresTheStoreAndTakesOnlyTheOptions)
{
    Sandbox box;
    SetDefault(box, "Bookmarks", "two");
    SetDefault(box, "Tabs", "1");
    SetDefault(box, "zTxtBlock", "1");
    SetDefault(box, "zTxtCompressRandom", "0");
    box.Document("page.html", "<p>one\ntwo</p>\n\n<b>three</b>&nbsp;\tfour");

    RunResult run =
        box.Run({"convert", "--no-defaults", "--format", "ztxt", "--strip-html", "--join-lines", "page.html"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    palm::EbookInfo info = ReadDatabase(box.Docs() / "page.pdb");
    EXPECT_EQ(info.format, palm::EbookFormat::Ztxt);
    EXPECT_EQ(info.text, "one two\n\nthree\tfour");
    EXPECT_EQ(info.recordSize, 8192u);
    EXPECT_EQ(info.compression, 1);
    EXPECT_TRUE(info.bookmarks.empty());

    // Entire-document compression is written as asked, with a warning about readers.
    run = box.Run({"convert", "--no-defaults", "--format=ztxt", "--no-compress", "--remove-lf", "page.html"});
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
    EXPECT_TRUE(box.TemporaryLeftovers().empty());
}

TEST(ConvertCommand, InvalidPatternConvertsWithoutBookmarksAndShowsTheEngineText)
{
    Sandbox box;
    box.Document("story.txt", kStory);
    const RunResult run = box.Run({"convert", "--bookmarks", "(chapter", "story.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("story.pdb: "), std::string::npos);
    const std::vector<std::string> messages = Lines(run.err);
    ASSERT_EQ(messages.size(), 2u) << run.err;
    EXPECT_EQ(messages[0], "folivo: error: story.txt: invalid bookmark pattern; converted without bookmarks");
    EXPECT_TRUE(messages[1].starts_with("folivo: warning: ")) << messages[1];
    EXPECT_NE(messages[1].find("parenthesis"), std::string::npos) << messages[1];
    const palm::EbookInfo info = ReadDatabase(box.Docs() / "story.pdb");
    EXPECT_TRUE(info.bookmarks.empty());
    EXPECT_EQ(info.text.size(), kStory.size());
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
    EXPECT_TRUE(box.TemporaryLeftovers().empty());
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
    EXPECT_TRUE(box.TemporaryLeftovers().empty());
}

TEST(ConvertCommand, OutputPathsAreNeverSharedOrTheDocumentItself)
{
    Sandbox box;
    box.Document("tale.txt", "one\n");
    box.Document("tale.htm", "two\n");
    box.Document("book.pdb", "not a database yet");

    RunResult run = box.Run({"convert", "-o", "named.pdb", "tale.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadDatabase(box.Docs() / "named.pdb").title, "tale");

    fs::create_directory(box.Docs() / "out");
    run = box.Run({"convert", "-o", "out", "tale.txt", "tale.htm"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadDatabase(box.Docs() / "out" / "tale.pdb").text, "one\n");
    EXPECT_NE(run.err.find("tale.htm: an earlier file is converted to the same database"), std::string::npos)
        << run.err;

    run = box.Run({"convert", "book.pdb"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("would replace the document itself"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(box.Docs() / "book.pdb"), "not a database yet");
    run = box.Run({"convert", "-o", "./book.pdb", "book.pdb"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadBytes(box.Docs() / "book.pdb"), "not a database yet");
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

TEST(ConvertCommand, HelpDocumentsEveryOptionAndVersionIsTheProjects)
{
    Sandbox box;
    const RunResult help = box.Run({"convert", "--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option :
         {"--format",     "--block-size",  "--no-compress", "--remove-cr",      "--remove-lf",
          "--cr-to-lf",   "--lf-to-cr",    "--join-lines",  "--tabs-to-breaks", "--allow-low-ascii",
          "--strip-html", "--bookmarks",   "--title",       "-o PATH",          "--install",
          "--jobs",       "--no-defaults", "info",          "extract",          "defaults",
          "Exit status"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const RunResult version = box.Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "folivo " FOLIVO_VERSION "\n");
}
