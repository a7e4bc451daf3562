// ChangeFiles: replacements, backups, declined files and files that changed.
#include "FileTree.h"
#include "FileWriteOut.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include <unistd.h>

namespace {

using patternkit::WriteOutStep;

std::vector<FileChangeProblem> Problems(const RegularExpression& re)
{
    return re.GetChangeFilesErrors() ? *re.GetChangeFilesErrors() : std::vector<FileChangeProblem>();
}

// Counts the targets replaced, to see each file rewritten once.
int g_replacements;
int CountReplacements(WriteOutStep step, const char*)
{
    g_replacements += step == WriteOutStep::replaceTarget;
    return 0;
}

class ChangeFiles : public ::testing::Test {
protected:
    void TearDown() override { patternkit::SetWriteOutFault(nullptr); }
    FileTree tree;
    RegularExpression re;
};

TEST_F(ChangeFiles, NothingToDoChangesNothing)
{
    tree.Write("a.txt", "abc");
    Aim(re, tree, "a.txt", "b");
    EXPECT_EQ(re.ChangeFiles(), 0u);
    re.SetExpression("(");
    re.SetFormatString("x");
    EXPECT_EQ(re.ChangeFiles(), 0u);
    EXPECT_EQ(re.GetChangeFilesErrors(), nullptr);
    EXPECT_EQ(tree.Read("a.txt"), "abc");
}

TEST_F(ChangeFiles, AllMatchesOfAFileLandInOneRewrite)
{
    tree.Write("a.txt", "cat and cat\n");
    tree.Write("b.txt", "no match");
    tree.Write("c.txt", "the cat");
    Aim(re, tree, "*.txt", "c(a)t", "d$1g");
    re.SetFormatType(RegularExpression::formatPerl);
    g_replacements = 0;
    patternkit::SetWriteOutFault(&CountReplacements);
    EXPECT_EQ(re.ChangeFiles(), 3u);
    EXPECT_EQ(g_replacements, 2);
    EXPECT_EQ(tree.Read("a.txt"), "dag and dag\n");
    EXPECT_EQ(tree.Read("b.txt"), "no match");
    EXPECT_EQ(tree.Read("c.txt"), "the dag");
    EXPECT_EQ(re.GetChangeFilesErrors(), nullptr);
    EXPECT_EQ(tree.Count(), 3u);  // no temporary file left behind
}

TEST_F(ChangeFiles, ReplacementUsesTheObjectsOwnExpressionOnTheMatchedText)
{
    // The search is case-insensitive perl; the replacement re-runs the object's
    // expression (here also case-insensitive) over each matched text alone.
    tree.Write("a.txt", "xAAy xay");
    Aim(re, tree, "a.txt", "a+", "<&>");
    re.SetFormatType(RegularExpression::formatSed);
    re.AddExpressionOption(RegularExpression::optICase);
    EXPECT_EQ(re.ChangeFiles(), 2u);
    EXPECT_EQ(tree.Read("a.txt"), "x<AA>y x<a>y");
}

TEST_F(ChangeFiles, BackupKeepsTheOldTextAndBackupOrReadOnlyFilesAreDeclined)
{
    tree.Write("notes.txt", "old text");
    tree.Write("other.BAK", "old backup");
    // Read-only by the owner write bit, which holds back root as well.
    tree.Write("locked.txt", "old", 0444);
    Aim(re, tree, "*", "old", "new");
    re.SetSaveExtension("bak");
    std::vector<std::string> events;
    re.OnChangingFiles.Hook(&events, [&](RegularExpression*, const CString& file, const REMatchList&, unsigned, bool&) {
        events.push_back(file);
    });
    EXPECT_EQ(re.ChangeFiles(), 1u);
    EXPECT_EQ(events, std::vector<std::string>{tree.Path("notes.txt")});
    EXPECT_EQ(tree.Read("notes.txt"), "new text");
    EXPECT_EQ(tree.Read("notes.bak"), "old text");
    EXPECT_EQ(tree.Read("other.BAK"), "old backup");
    EXPECT_EQ(tree.Read("locked.txt"), "old");
}

TEST_F(ChangeFiles, BackupNameComesFromTheLastPathComponent)
{
    tree.Write("dir.v2/notes", "old");
    tree.Write("dir.bak", "unrelated file");
    Aim(re, tree, "dir.v2/notes", "old", "new");
    re.SetSaveExtension("bak");
    EXPECT_EQ(re.ChangeFiles(), 1u);
    EXPECT_EQ(tree.Read("dir.v2/notes.bak"), "old");
    EXPECT_EQ(tree.Read("dir.bak"), "unrelated file");
    EXPECT_EQ(patternkit::BackupName("a/b.c/d.txt", "bak"), "a/b.c/d.bak");
    EXPECT_EQ(patternkit::BackupName("a/b.c/d", "bak"), "a/b.c/d.bak");
}

TEST_F(ChangeFiles, DeclinedMatchAndTheRestOfItsFileStayUnreplaced)
{
    tree.Write("a.txt", "x x x");
    tree.Write("b.txt", "x");
    Aim(re, tree, "*.txt", "x", "y");
    re.OnChangingFiles.Hook(&re, [](RegularExpression*, const CString&, const REMatchList& list, unsigned, bool& more) {
        more = list[0].position != 2;
    });
    EXPECT_EQ(re.ChangeFiles(), 2u);
    EXPECT_EQ(tree.Read("a.txt"), "y x x");
    EXPECT_EQ(tree.Read("b.txt"), "y");
}

TEST_F(ChangeFiles, AttributesAreKeptAndLinksStayLinks)
{
    tree.Write("target/real.txt", "old", 0640);
    std::filesystem::create_symlink(tree.Path("target/real.txt"), tree.Path("link.txt"));
    Aim(re, tree, "link.txt", "old", "new");
    re.SetSaveExtension("bak");
    EXPECT_EQ(re.ChangeFiles(), 1u);
    EXPECT_TRUE(std::filesystem::is_symlink(tree.Path("link.txt")));
    EXPECT_EQ(tree.Read("target/real.txt"), "new");
    EXPECT_EQ(tree.Read("link.bak"), "old");
    EXPECT_EQ(ModeOf(tree.Path("target/real.txt")), 0640u);
    EXPECT_EQ(FileNamesIn(tree.Path("target")), std::vector<std::string>{"real.txt"});
}

// A handler that does something to the file between the search and the write-out.
void EditDuringSearch(RegularExpression& re, std::function<void(const std::string&)> edit)
{
    re.OnChangingFiles.Clear();
    re.OnChangingFiles.Hook(
        &re, [edit](RegularExpression*, const CString& file, const REMatchList&, unsigned, bool&) { edit(file); });
}

TEST_F(ChangeFiles, FileChangedSinceTheSearchStaysAsItWas)
{
    struct Case {
        const char* now;  // the file's text at the write-out; null: removed
        int kind;
        int position;
    } cases[] = {
        {"abcd x", FileChangeProblem::kindTextChanged, 4},
        {"ab", FileChangeProblem::kindCannotReadTarget, 2},
        {nullptr, FileChangeProblem::kindCannotOpen, 0},
    };
    Aim(re, tree, "a.txt", "x", "y");
    for (const Case& c : cases) {
        tree.Write("a.txt", "abc x");
        EditDuringSearch(re, [&](const std::string& file) {
            c.now ? tree.Write("a.txt", c.now) : (void)std::filesystem::remove(file);
        });
        EXPECT_EQ(re.ChangeFiles(), 0u);
        const auto problems = Problems(re);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].kind, c.kind);
        EXPECT_EQ(problems[0].position, c.position);
        EXPECT_EQ(problems[0].fileName, tree.Path("a.txt"));
        EXPECT_EQ(problems[0].text, c.kind == FileChangeProblem::kindTextChanged ? "x" : "");
        EXPECT_EQ(problems[0].errorCode, c.now ? 0 : ENOENT);
        if (c.now) {
            EXPECT_EQ(tree.Read("a.txt"), c.now);
        }
        EXPECT_EQ(tree.Count(), c.now ? 1u : 0u);  // the temporary file is gone
    }
}

TEST_F(ChangeFiles, WithoutContinueFilesTheFirstProblemEndsTheRun)
{
    tree.Write("a.txt", "x");
    tree.Write("b.txt", "x");
    tree.Write("c.txt", "x");
    Aim(re, tree, "*.txt", "x", "y");
    EditDuringSearch(re, [&](const std::string& file) {
        if (file == tree.Path("a.txt"))
            tree.Write("a.txt", "-x");
    });
    re.SetContinueFiles(false);
    EXPECT_EQ(re.ChangeFiles(), 0u);
    EXPECT_EQ(Problems(re).size(), 1u);
    // a.txt's problem shows when b.txt begins: b.txt is then not written and
    // c.txt is declined.
    EXPECT_EQ(tree.Read("b.txt"), "x");
    EXPECT_EQ(tree.Read("c.txt"), "x");

    re.SetContinueFiles(true);
    tree.Write("a.txt", "x");
    EXPECT_EQ(re.ChangeFiles(), 2u);
    EXPECT_EQ(tree.Read("c.txt"), "y");
}

TEST_F(ChangeFiles, SearchProblemsJoinTheListAsKindZero)
{
    std::filesystem::create_symlink(tree.Path("gone"), tree.Path("a.txt"));
    tree.Write("b.txt", "x");
    Aim(re, tree, "*.txt", "x", "y");
    EXPECT_EQ(re.ChangeFiles(), 1u);
    ASSERT_EQ(Problems(re).size(), 1u);
    EXPECT_EQ(Problems(re)[0].kind, FileChangeProblem::kindCannotOpen);
    EXPECT_EQ(Problems(re)[0].errorCode, ENOENT);
}

}  // namespace
