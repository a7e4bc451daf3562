// folivo check: one line a finding, and an exit status that tells whether
// any book would not open.
#include "CliRun.h"

#include <cstdlib>

using namespace clitest;

namespace {

const std::string kBook = "Prologue\nChapter One\nThe text.\nChapter Two\nMore text.\n";

// Converts kBook with `options` into `name`.
void Convert(const Sandbox& box, const std::string& name, std::vector<std::string> options)
{
    box.Document("book.txt", kBook);
    std::vector<std::string> args = {"convert", "--no-defaults", "-o", name};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back("book.txt");
    const RunResult run = box.Run(args);
    ASSERT_EQ(run.status, 0) << run.err;
}

}  // namespace

TEST(CheckCommand, OneLineAFindingAndExitOneOnlyForABookThatWouldNotOpen)
{
    Sandbox box;
    Convert(box, "plain.pdb", {});
    Convert(box, "marked.pdb", {"--bookmarks", "^chapter"});
    Convert(box, "whole.pdb", {"--format", "ztxt", "--no-compress"});
    struct Case {
        std::vector<std::string> files;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {{"plain.pdb"}, 0, "plain.pdb: no problems found\n"},
        {{"marked.pdb"}, 0, "marked.pdb: FBReader: shows wrongly: records follow the text"},
        {{"whole.pdb", "plain.pdb"}, 1, "whole.pdb: calibre and Weasel Reader: refuses: entire-document"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"check"};
        args.insert(args.end(), c.files.begin(), c.files.end());
        const RunResult run = box.Run(args);
        EXPECT_EQ(run.status, c.status) << c.files[0] << "\n" << run.out << run.err;
        EXPECT_TRUE(run.out.starts_with(c.out)) << run.out;
        EXPECT_EQ(Lines(run.out).size(), c.files.size()) << run.out;
        EXPECT_EQ(run.err, "");
    }
    const RunResult piped = box.RunWithInput({"check", "-"}, ReadBytes(box.Docs() / "whole.pdb"));
    EXPECT_EQ(piped.status, 1);
    EXPECT_TRUE(piped.out.starts_with("standard input: calibre and Weasel Reader: refuses: ")) << piped.out;
}

TEST(CheckCommand, MissingAndForeignFilesAreErrorsAndTheOthersAreStillChecked)
{
    Sandbox box;
    Convert(box, "plain.pdb", {});
    const RunResult run = box.Run({"check", "missing.pdb", "book.txt", "plain.pdb"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "plain.pdb: no problems found\n");
    const std::vector<std::string> errors = Lines(run.err);
    ASSERT_EQ(errors.size(), 2u) << run.err;
    EXPECT_TRUE(errors[0].starts_with("folivo: error: missing.pdb: The database file cannot be read")) << errors[0];
    EXPECT_EQ(errors[1], "folivo: error: book.txt: The file is not a PalmDoc or zTXT database.");
    EXPECT_EQ(box.Run({"check"}).status, 2);
}

// txt2pdbdoc overstates the text length (it counts the CRs it drops), which
// readers that trust the length show wrongly, but nothing in its databases
// stops a book from opening, and it converts and takes bookmarks as ours do.
TEST(CheckCommand, ADatabaseTxt2pdbdocMakesOpensConvertsAndTakesBookmarks)
{
    if (std::system("command -v txt2pdbdoc >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "txt2pdbdoc is not installed";
    Sandbox box;
    const std::string text = box.Document("book.txt", "Line one\r\nLine two\r\n" + std::string(9000, 'x') + "\r\n");
    const std::string database = (box.Docs() / "made.pdb").string();
    ASSERT_EQ(std::system(("txt2pdbdoc Made '" + text + "' '" + database + "' >/dev/null").c_str()), 0);
    RunResult run = box.Run({"check", "made.pdb"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out.find(": refuses: "), std::string::npos) << run.out;

    run = box.Run({"bookmarks", "--from-pattern", "^line", "made.pdb"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(box.Run({"bookmarks", "made.pdb"}).out, "0\tLine one\n9\tLine two\n");
    run = box.Run({"convert", "--format", "ztxt", "made.pdb"});
    ASSERT_EQ(run.status, 0) << run.err;
    const palm::EbookInfo info = ReadDatabase(box.Docs() / "made-converted.pdb");
    EXPECT_EQ(info.title, "Made");
    EXPECT_EQ(info.text.substr(0, 18), "Line one\nLine two\n");
    EXPECT_EQ(info.bookmarks, (std::vector<palm::StoredBookmark>{{"Line one", 0}, {"Line two", 9}}));
    EXPECT_EQ(box.Run({"check", "made-converted.pdb"}).out, "made-converted.pdb: no problems found\n");
}
