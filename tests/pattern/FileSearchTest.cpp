// FindFiles and GrepFiles over folder trees.
#include "FileTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include <unistd.h>

namespace {

std::vector<std::string> FoundFiles(RegularExpression& re, const FileTree& tree, unsigned* count = nullptr)
{
    std::vector<std::string> names;
    re.OnFindFiles.Hook(&names, [&](RegularExpression*, const CString& name, bool&) {
        names.push_back(name.substr(tree.Path().size() + 1));
    });
    const unsigned n = re.FindFiles();
    re.OnFindFiles.Unhook(&names);
    if (count)
        *count = n;
    return names;
}

TEST(FindFiles, NothingToDoGivesZeroAndNoProblems)
{
    FileTree tree;
    tree.Write("a.txt", "x");
    RegularExpression re;
    re.SetExpression("x");
    EXPECT_EQ(re.FindFiles(), 0u);
    EXPECT_EQ(re.GetFindFilesErrors(), nullptr);
    Aim(re, tree, "*.txt", "");
    EXPECT_EQ(re.GrepFiles(), 0u);
    Aim(re, tree, "*.txt", "(x");
    EXPECT_EQ(re.FindFiles(), 0u);
    EXPECT_EQ(re.GetFindFilesErrors(), nullptr);
    Aim(re, tree, "*.txt", "x");
    EXPECT_EQ(re.FindFiles(), 1u);
}

TEST(FindFiles, VisitsSortedFilesBeforeSubfoldersAndOnlyMatchingOnes)
{
    FileTree tree;
    tree.Write("b.txt", "match");
    tree.Write("a.txt", "match");
    tree.Write("c.txt", "nothing here");
    tree.Write("a.dat", "match");
    tree.Write("sub/z.txt", "match");
    tree.Write("sub/deeper/y.txt", "match");
    tree.Write("sub2/x.txt", "match");
    std::filesystem::create_directory(tree.Path("folder.txt"));
    // A link back up must not lead the recursion round in circles.
    std::filesystem::create_directory_symlink(tree.Path(), tree.Path("sub/loop"));
    std::filesystem::create_symlink(tree.Path("a.txt"), tree.Path("sub2/link.txt"));

    RegularExpression re;
    Aim(re, tree, "*.txt", "match");
    unsigned count = 0;
    EXPECT_EQ(FoundFiles(re, tree, &count), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(count, 2u);
    re.SetDirectoryRecursion(true);
    EXPECT_EQ(FoundFiles(re, tree, &count), (std::vector<std::string>{"a.txt", "b.txt", "sub/z.txt", "sub/deeper/y.txt",
                                                                      "sub2/link.txt", "sub2/x.txt"}));
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(re.GetFindFilesErrors(), nullptr);
}

TEST(FindFiles, OwnTemporaryFilesAreNeverFoundSearchedOrChanged)
{
    // A run killed by SIGKILL can still leave one behind.
    FileTree tree;
    tree.Write(".changing-Ab12Cd", "old");
    tree.Write(".changing-notes", "old");  // not a name the component makes
    tree.Write("notes.txt", "old");
    RegularExpression re;
    Aim(re, tree, "*", "old", "new");
    EXPECT_EQ(FoundFiles(re, tree), (std::vector<std::string>{".changing-notes", "notes.txt"}));
    EXPECT_EQ(re.GrepFiles(), 2u);
    EXPECT_EQ(re.ChangeFiles(), 2u);
    EXPECT_EQ(tree.Read(".changing-Ab12Cd"), "old");
    EXPECT_EQ(tree.Read("notes.txt"), "new");
}

TEST(FindFiles, HandlerStopsTheSearchAndCallbackPointerComesFirst)
{
    FileTree tree;
    tree.Write("a.txt", "x");
    tree.Write("b.txt", "x");
    RegularExpression re;
    Aim(re, tree, "*.txt", "x");
    int hooked = 0;
    re.OnFindFiles.Hook(&hooked, [&](RegularExpression*, const CString&, bool& more) {
        ++hooked;
        more = false;
    });
    EXPECT_EQ(re.FindFiles(), 1u);
    EXPECT_EQ(hooked, 1);

    static int pointerCalls;
    pointerCalls = 0;
    re.SetOnFindingFiles([](RegularExpression*, const CString&, bool&) { ++pointerCalls; });
    EXPECT_EQ(re.FindFiles(), 2u);
    EXPECT_EQ(pointerCalls, 2);
    EXPECT_EQ(hooked, 1);
}

TEST(GrepFiles, ReportsEveryMatchWithMarksOffsetsAndLines)
{
    FileTree tree;
    tree.Write("a.txt", "one\ntwo x\n\nx three");
    tree.Write("b.txt", "y");
    struct Seen {
        std::string file;
        REMatchList list;
        unsigned line;
    };
    std::vector<Seen> seen;
    RegularExpression re;
    Aim(re, tree, "*.txt", "(x)|(y)");
    re.OnGreppingFiles.Hook(
        &seen, [&](RegularExpression*, const CString& file, const REMatchList& list, unsigned line, bool&) {
            seen.push_back({file, list, line});
        });
    EXPECT_EQ(re.GrepFiles(), 3u);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].file, tree.Path("a.txt"));
    ASSERT_EQ(seen[0].list.size(), 3u);
    EXPECT_EQ(seen[0].list[0].text, "x");
    EXPECT_EQ(seen[0].list[0].position, 8);
    EXPECT_EQ(seen[0].list[1].position, 8);
    EXPECT_EQ(seen[0].list[2].position, -1);
    EXPECT_TRUE(seen[0].list[2].text.empty());
    EXPECT_EQ(seen[0].line, 2u);
    EXPECT_EQ(seen[1].list[0].position, 11);
    EXPECT_EQ(seen[1].line, 4u);
    EXPECT_EQ(seen[2].file, tree.Path("b.txt"));
    EXPECT_EQ(seen[2].list[2].text, "y");
    EXPECT_EQ(seen[2].line, 1u);
}

TEST(GrepFiles, ClearedContinueEndsOnlyTheCurrentFile)
{
    FileTree tree;
    tree.Write("a.txt", "x x x");
    tree.Write("b.txt", "x x");
    RegularExpression re;
    Aim(re, tree, "*.txt", "x");
    std::vector<int> positions;
    re.OnGreppingFiles.Hook(&positions,
                            [&](RegularExpression*, const CString&, const REMatchList& list, unsigned, bool& more) {
                                positions.push_back(list[0].position);
                                more = list[0].position == 0 && positions.size() == 1;
                            });
    EXPECT_EQ(re.GrepFiles(), 3u);
    EXPECT_EQ(positions, (std::vector<int>{0, 2, 0}));
}

TEST(GrepFiles, OnlyICaseOfTheExpressionOptionsApplies)
{
    FileTree tree;
    tree.Write("a.txt", "ABC a.c");
    RegularExpression re;
    Aim(re, tree, "a.txt", "a.c");
    re.AddExpressionOption(RegularExpression::optLiteral);
    EXPECT_EQ(re.GrepFiles(), 1u);
    re.AddExpressionOption(RegularExpression::optICase);
    EXPECT_EQ(re.GrepFiles(), 2u);
}

TEST(GrepFiles, LocaleModelChoosesTheCaseFolding)
{
    FileTree tree;
    tree.Write("a.txt", "\xC9t\xC9");  // "ÉtÉ" in Windows-1252
    RegularExpression re;
    Aim(re, tree, "a.txt", "\xE9");
    re.AddExpressionOption(RegularExpression::optICase);
    re.SetLocaleModel(RegularExpression::localeWin32);
    EXPECT_EQ(re.GrepFiles(), 2u);
    re.SetLocaleModel(RegularExpression::localeC);
    EXPECT_EQ(re.GrepFiles(), 0u);
}

TEST(GrepFiles, ProblemsAreListedAndContinueFilesDecidesWhetherToGoOn)
{
    FileTree tree;
    std::filesystem::create_symlink(tree.Path("gone"), tree.Path("a.txt"));
    tree.Write("b.txt", std::string(40, 'x'));
    tree.Write("c.txt", "x");
    RegularExpression re;
    Aim(re, tree, "*.txt", "x");
    EXPECT_EQ(re.GrepFiles(), 41u);
    ASSERT_NE(re.GetGrepFilesErrors(), nullptr);
    ASSERT_EQ(re.GetGrepFilesErrors()->size(), 1u);
    EXPECT_EQ((*re.GetGrepFilesErrors())[0].fileName, tree.Path("a.txt"));
    EXPECT_EQ((*re.GetGrepFilesErrors())[0].kind, FileSearchProblem::kindCannotRead);
    EXPECT_EQ((*re.GetGrepFilesErrors())[0].errorCode, ENOENT);

    // The matching limits: a problem of the file, not a failure of the call.
    re.SetExpression("(x+x+)+y");
    EXPECT_EQ(re.GrepFiles(), 0u);
    ASSERT_EQ(re.GetGrepFilesErrors()->size(), 2u);
    EXPECT_EQ((*re.GetGrepFilesErrors())[1].kind, FileSearchProblem::kindCannotSearch);

    re.SetExpression("x");
    re.SetContinueFiles(false);
    EXPECT_EQ(re.GrepFiles(), 0u);
    EXPECT_EQ(re.GetGrepFilesErrors()->size(), 1u);

    re.SetFilesToMatch(tree.Path("missing/*.txt"));
    EXPECT_EQ(re.FindFiles(), 0u);
    ASSERT_NE(re.GetFindFilesErrors(), nullptr);
    EXPECT_EQ((*re.GetFindFilesErrors())[0].kind, FileSearchProblem::kindCannotList);
    EXPECT_EQ((*re.GetFindFilesErrors())[0].fileName, tree.Path("missing"));
    // Each operation keeps its own list.
    EXPECT_EQ(re.GetGrepFilesErrors()->size(), 1u);
}

TEST(FileOperations, NestedOperationsOfOtherObjectsWorkFromAHandler)
{
    FileTree tree;
    tree.Write("a.txt", "x y");
    tree.Write("b.txt", "y");
    RegularExpression outer;
    RegularExpression inner;
    Aim(outer, tree, "*.txt", "x");
    Aim(inner, tree, "*.txt", "y");
    std::vector<unsigned> innerCounts;
    unsigned ownNested = 99;
    std::vector<RegularExpression*> innerObjects;
    inner.OnGreppingFiles.Hook(&innerObjects, [&](RegularExpression* re, const CString&, const REMatchList&, unsigned,
                                                  bool&) { innerObjects.push_back(re); });
    outer.OnFindFiles.Hook(&innerCounts, [&](RegularExpression* re, const CString&, bool&) {
        EXPECT_EQ(re, &outer);
        innerCounts.push_back(inner.GrepFiles());
        ownNested = outer.GrepFiles();
    });
    EXPECT_EQ(outer.FindFiles(), 1u);
    EXPECT_EQ(innerCounts, std::vector<unsigned>{2});
    EXPECT_EQ(innerObjects, (std::vector<RegularExpression*>{&inner, &inner}));
    EXPECT_EQ(ownNested, 0u);
    // The stack is back to empty: the outer object runs again on its own.
    EXPECT_EQ(outer.GrepFiles(), 1u);
}

TEST(FileOperations, HandlerExceptionsPassThroughAndLeaveTheObjectUsable)
{
    FileTree tree;
    tree.Write("a.txt", "x x");
    RegularExpression re;
    Aim(re, tree, "a.txt", "x", "y");
    re.OnChangingFiles.Hook(&re, [](RegularExpression*, const CString&, const REMatchList& list, unsigned, bool&) {
        if (list[0].position == 2)
            throw std::logic_error("handler");
    });
    EXPECT_THROW(re.ChangeFiles(), std::logic_error);
    EXPECT_EQ(tree.Read("a.txt"), "x x");
    EXPECT_FALSE(re.IsBusy());
    re.OnChangingFiles.Clear();
    EXPECT_EQ(re.ChangeFiles(), 2u);
    EXPECT_EQ(tree.Read("a.txt"), "y y");
}

}  // namespace
