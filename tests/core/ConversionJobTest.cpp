#include "Databases.h"
#include "TestEnvironment.h"
#include "TestPages.h"

#include <core/CommandLineStart.h>
#include <core/ConversionJob.h>
#include <core/ProgressSink.h>
#include <core/SettingsGroups.h>
#include <core/WizardPages.h>
#include <palm/EbookReader.h>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

using namespace folivo;

namespace {

// A settings store, a temporary folder, a HotSync folder with one user and a
// documents folder of the test's own.
class JobTest : public ::testing::Test, protected DocumentSandbox {
protected:
    JobTest() { fs::create_directories(HotSync() / "Ann" / "Install"); }

    bool TmpIsEmpty() const { return fs::is_empty(Tmp()); }

    // Converts `source` to s.pdb in a child process that raises `signal` at
    // the writer's step, when both temporary files exist, and waits for it
    // (with waitpid's `waitFlags`). Gives the child and its status.
    std::pair<pid_t, int> RunRaisingAtTheWriter(const std::string& source, int signal, int waitFlags = 0)
    {
        struct Raising : ProgressSink {
            void Open(const CString&, int, int upper, int) override
            {
                if (upper == 1)
                    ::raise(signal);
            }
            void StepIt() override {}
            void Close() override {}
            int signal = 0;
        };
        const pid_t child = fork();
        if (child == 0) {
            Raising progress;
            progress.signal = signal;
            ConversionJob job(m_bookmarks);
            job.SetProgress(&progress);
            job.RunConversion(source, (Docs() / "s.pdb").string(), "S", DocumentFormat::PalmDoc, 4, 1);
            _exit(0);
        }
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, waitFlags), child);
        return {child, status};
    }

    IsolatedStore m_store;
    BookmarkList m_bookmarks;
};

const std::string kStory =
    "Preface\r\n\r\nCHAPTER I.\r\nIt began.\r\n\r\nCHAPTER II. A second, longer heading\r\nIt went on.\r\n";

TEST_F(JobTest, StoredDefaultsDriveADirectRunToBothFormats)
{
    TextPageState rules;
    SaveTextDefaults(rules);
    SaveBookmarkDefaults("^chapter [iv]+");
    const std::string source = Document("story.txt", kStory);
    const std::size_t second = kStory.find("CHAPTER II");

    ConversionJob job(m_bookmarks);
    job.sourceFileName = "story.txt";
    ASSERT_EQ(job.RunConversion(source, (Docs() / "story.pdb").string(), "Story", DocumentFormat::PalmDoc, 4, 1),
              kConversionDone);
    palm::EbookInfo doc = ReadDatabase((Docs() / "story.pdb").string());
    EXPECT_EQ(doc.format, palm::EbookFormat::PalmDoc);
    EXPECT_EQ(doc.title, "Story");
    EXPECT_EQ(doc.compression, 2);
    EXPECT_EQ(doc.text, kStory);
    ASSERT_EQ(doc.bookmarks.size(), 2u);
    EXPECT_EQ(doc.bookmarks[0].name, "CHAPTER I.");
    EXPECT_EQ(doc.bookmarks[0].offset, kStory.find("CHAPTER I."));
    EXPECT_EQ(doc.bookmarks[1].name, "CHAPTER II. A s");
    EXPECT_EQ(doc.bookmarks[1].offset, second);
    EXPECT_EQ(job.LastReport().generatedBookmarks, 2);
    // The prepared text stays for a preview; nothing else is left behind.
    EXPECT_EQ(ReadBytes(job.textFilePath), kStory);
    EXPECT_TRUE(job.bookmarkFilePath.empty());
    job.DeleteTextFile();
    EXPECT_TRUE(TmpIsEmpty());

    ASSERT_EQ(job.RunConversion(source, (Docs() / "story-z.pdb").string(), "Story", DocumentFormat::zTXT, 8, 1),
              kConversionDone);
    palm::EbookInfo z = ReadDatabase((Docs() / "story-z.pdb").string());
    EXPECT_EQ(z.format, palm::EbookFormat::Ztxt);
    std::string withoutCr = kStory;
    std::erase(withoutCr, '\r');
    EXPECT_EQ(z.text, withoutCr);
    ASSERT_EQ(z.bookmarks.size(), 2u);
    // zTXT positions leave the CR bytes out, as the writer drops them.
    EXPECT_EQ(z.bookmarks[1].offset, withoutCr.find("CHAPTER II"));
    // A second run generated afresh instead of adding to the first run's entries.
    EXPECT_EQ(m_bookmarks.Count(), 2);
}

TEST_F(JobTest, TheBookmarkScanGoesOnPastLinesTheEngineGivesUpOn)
{
    // Nested repetition that cannot match makes the engine try every way to
    // split the a's, and give up on such a line.
    const std::string hard(25, 'a');
    const std::string text = "chapter zero\n" + hard + "!\nchapter one\n" + hard + "!\nchapter two\n";
    TestPages pages;
    pages.patterns = "^chapter|^(a+)+$";
    // The last run writes each line break as a CR, where the engine's lines end too.
    for (const auto& [format, crOnly] :
         {std::pair{DocumentFormat::PalmDoc, false}, std::pair{DocumentFormat::zTXT, false},
          std::pair{DocumentFormat::PalmDoc, true}}) {
        pages.text.translateNone = crOnly ? 0 : 1;
        pages.text.translateLF = crOnly ? 1 : 0;
        ConversionJob job(m_bookmarks);
        job.SetPages(&pages);
        const std::string output = (Docs() / "hard.pdb").string();
        ASSERT_EQ(job.RunConversion(Document("hard.txt", text), output, "Hard", format, 4, 1), kConversionDone);
        EXPECT_EQ(job.LastReport().skippedLines, (std::vector<unsigned>{2, 4}));
        EXPECT_EQ(job.LastReport().generatedBookmarks, 3);
        const palm::EbookInfo book = ReadDatabase(output);
        ASSERT_EQ(book.bookmarks.size(), 3u);
        EXPECT_EQ(book.bookmarks[1].name, "chapter one");
        EXPECT_EQ(book.bookmarks[1].offset, text.find("chapter one"));
        EXPECT_EQ(book.bookmarks[2].offset, text.find("chapter two"));
    }
}

// Each bookmark marks its line, named from it, in both formats: after a lone
// CR, past a NUL byte, and never on the empty "line" after the last break.
TEST_F(JobTest, BookmarksMarkTheLinesTheirMatchesAreOn)
{
    const struct {
        std::string text;
        const char* patterns;
        std::vector<std::string> names;
    } cases[] = {
        {"Chapter 1\rline a\rline b\rChapter 2\rend\r", "^chapter", {"Chapter 1", "Chapter 2"}},
        {"Chapter 1\n\rline a\n\rChapter 2\n\rend\n\r", "^chapter", {"Chapter 1", "Chapter 2"}},
        {std::string("Chapter 1\r\nab\0cd\r\nChapter 2\r\n", 29), "^chapter", {"Chapter 1", "Chapter 2"}},
        {"one\ntwo\n", "x*", {"one", "two"}},
        {"one\rtwo\r", "$", {"one", "two"}},
    };
    TestPages pages;
    pages.text.ascii = 1;
    for (const auto& c : cases) {
        pages.patterns = c.patterns;
        for (const DocumentFormat format : {DocumentFormat::PalmDoc, DocumentFormat::zTXT}) {
            ConversionJob job(m_bookmarks);
            job.SetPages(&pages);
            const std::string output = (Docs() / "lines.pdb").string();
            ASSERT_EQ(job.RunConversion(Document("lines.txt", c.text), output, "Lines", format, 4, 1), kConversionDone);
            const palm::EbookInfo book = ReadDatabase(output);
            ASSERT_EQ(book.bookmarks.size(), c.names.size()) << c.text;
            for (std::size_t i = 0; i < c.names.size(); ++i) {
                EXPECT_EQ(book.bookmarks[i].name, c.names[i]) << c.text;
                EXPECT_EQ(book.bookmarks[i].offset, book.text.find(c.names[i])) << c.text;
            }
        }
    }
}

TEST_F(JobTest, FilesThatCannotBeReadEndTheRunWithNothingWritten)
{
    ConversionJob job(m_bookmarks);
    const std::string output = (Docs() / "out.pdb").string();
    EXPECT_EQ(job.RunConversion((Docs() / "missing.txt").string(), output, "T", DocumentFormat::PalmDoc, 4, 1),
              kConversionFileNotOpened);
    EXPECT_EQ(job.RunConversion(Docs().string(), output, "T", DocumentFormat::PalmDoc, 4, 1), kConversionFileNotOpened);
    EXPECT_EQ(job.LastReport().problem, "Is a directory");
    EXPECT_FALSE(fs::exists(output));
    EXPECT_TRUE(job.textFilePath.empty());
    EXPECT_TRUE(TmpIsEmpty());
}

TEST_F(JobTest, ADatabaseNeverReplacesItsOwnDocument)
{
    // The document under its own name, a symbolic link to it and a hard link.
    const std::string notes = Document("notes", "my notes\n");
    const std::string text = Document("y.txt", "y text\n");
    fs::create_symlink("y.txt", Docs() / "y.pdb");
    fs::create_hard_link(text, Docs() / "hard.pdb");
    for (const auto& [source, output] : {std::pair(notes, notes),
                                         {text, (Docs() / "y.pdb").string()},
                                         {(Docs() / "y.pdb").string(), (Docs() / "./y.pdb").string()},
                                         {text, (Docs() / "hard.pdb").string()}}) {
        for (const DocumentFormat format : {DocumentFormat::PalmDoc, DocumentFormat::zTXT}) {
            ConversionJob job(m_bookmarks);
            EXPECT_EQ(job.RunConversion(source, output, "T", format, 4, 1), kConversionOwnDocument) << output;
            EXPECT_NE(job.LastReport().problem.find("would replace the document itself ('" + output + "')"),
                      std::string::npos)
                << job.LastReport().problem;
        }
    }
    EXPECT_EQ(ReadBytes(notes), "my notes\n");
    EXPECT_EQ(ReadBytes(text), "y text\n");
    EXPECT_TRUE(TmpIsEmpty());
    // A preview writes no database, so it may name the document.
    ConversionJob job(m_bookmarks);
    EXPECT_EQ(job.RunConversion(notes, notes, "T", DocumentFormat::PrepareOnly, 0, 0), kConversionDone);
    EXPECT_EQ(ReadBytes(notes), "my notes\n");
    // A database takes its own place only when the starter says the user chose that.
    ASSERT_EQ(job.RunConversion(notes, (Docs() / "notes.pdb").string(), "T", DocumentFormat::zTXT, 4, 1),
              kConversionDone);
    const std::string database = (Docs() / "notes.pdb").string();
    EXPECT_EQ(job.RunConversion(database, database, "T", DocumentFormat::PalmDoc, 4, 1), kConversionOwnDocument);
    job.SetSourceMayBeReplaced(true);
    EXPECT_EQ(job.RunConversion(database, database, "T", DocumentFormat::PalmDoc, 4, 1), kConversionDone);
    EXPECT_EQ(ReadDatabase(database).text, "my notes\n");
    EXPECT_EQ(ReadDatabase(database).format, palm::EbookFormat::PalmDoc);
}

TEST_F(JobTest, PagesOverrideTheStoreAndABadPatternStillConverts)
{
    SaveBookmarkDefaults("^never");
    TestPages pages;
    pages.text.removeNone = 0;
    pages.text.removeCR = 1;
    pages.text.single = 1;
    pages.patterns = "(unclosed";
    pages.output = (Docs() / "chosen.pdb").string();
    const std::string source = Document("story.txt", kStory);

    ConversionJob job(m_bookmarks);
    job.sourcePath = source;
    job.SetPages(&pages);
    ASSERT_EQ(job.ConvertFromPages(DocumentFormat::PalmDoc, 4, 0), kConversionDone);
    const palm::EbookInfo doc = ReadDatabase(pages.output);
    EXPECT_EQ(doc.title, "From the page");
    EXPECT_EQ(doc.compression, 1);
    EXPECT_EQ(doc.text, "Preface\n\nCHAPTER I. It began.\n\nCHAPTER II. A second, longer heading It went on.\n");
    EXPECT_TRUE(doc.bookmarks.empty());
    EXPECT_EQ(job.LastReport().patternError, RegularExpression::errParen);
    EXPECT_FALSE(job.LastReport().patternErrorText.empty());
    EXPECT_EQ(job.bookmarkPatterns, "(unclosed");
}

// The pattern the next run would scan with is judged before it runs, in the
// words the run itself reports: page 3's text while it is shown, else the store's.
TEST_F(JobTest, APatternProblemIsKnownBeforeTheRun)
{
    struct Case {
        bool pageShown;
        const char* page;
        const char* stored;
        bool bad;
    };
    const Case cases[] = {
        {true, "(unclosed", "^chapter", true}, {true, "^chapter", "([", false},     {true, "", "([", false},
        {false, "(unclosed", "([", true},      {false, "", "^chapter|part", false},
    };
    const std::string source = Document("story.txt", kStory);
    for (const Case& c : cases) {
        SaveBookmarkDefaults(c.stored);
        TestPages pages;
        pages.bookmarkShown = c.pageShown;
        pages.patterns = c.page;
        ConversionJob job(m_bookmarks);
        job.sourcePath = source;
        job.SetPages(&pages);
        const CString problem = job.NextPatternProblem();
        EXPECT_EQ(problem.empty(), !c.bad) << c.page << " / " << c.stored;
        job.ConvertFromPages(DocumentFormat::PrepareOnly, 0, 0);
        EXPECT_EQ(problem, job.LastReport().patternErrorText) << c.page << " / " << c.stored;
        job.DeleteTextFile();
    }
}

// What the user does to the list in the preview reaches the database as long
// as the text and the pattern stay the same; entries made by hand belong to
// their document and stay while they lie inside its text.
TEST_F(JobTest, TheUsersBookmarkEditsReachTheDatabase)
{
    TestPages pages;
    pages.patterns = "^chapter";
    const std::string source = Document("story.txt", kStory);
    const std::string output = (Docs() / "s.pdb").string();
    const std::uint32_t first = static_cast<std::uint32_t>(kStory.find("CHAPTER I."));
    const std::uint32_t second = static_cast<std::uint32_t>(kStory.find("CHAPTER II"));
    const std::uint32_t mine = static_cast<std::uint32_t>(kStory.find("It went on"));

    ConversionJob job(m_bookmarks);
    job.SetPages(&pages);
    ASSERT_EQ(job.RunConversion(source, output, "S", DocumentFormat::PrepareOnly, 0, 0), kConversionDone);
    ASSERT_EQ(m_bookmarks.Count(), 2);
    // In the preview: one renamed, one deleted, one added by hand.
    m_bookmarks.Rename(0, "One");
    m_bookmarks.RemoveAt(1);
    m_bookmarks.Add("Mine", static_cast<std::int32_t>(mine), false);
    ASSERT_EQ(job.RunConversion(source, output, "S", DocumentFormat::zTXT, 8, 1), kConversionDone);
    std::string lf = kStory;
    std::erase(lf, '\r');
    EXPECT_EQ(ReadDatabase(output).bookmarks,
              (Marks{{"One", first - 2}, {"Mine", static_cast<std::uint32_t>(lf.find("It went on"))}}));
    ASSERT_EQ(job.RunConversion(source, output, "S", DocumentFormat::PalmDoc, 4, 1), kConversionDone);
    EXPECT_EQ(ReadDatabase(output).bookmarks, (Marks{{"One", first}, {"Mine", mine}}));

    // Another pattern: the generated entries are made afresh; the hand-made one stays.
    pages.patterns = "^chapter ii";
    ASSERT_EQ(job.RunConversion(source, output, "S", DocumentFormat::PalmDoc, 4, 1), kConversionDone);
    EXPECT_EQ(ReadDatabase(output).bookmarks, (Marks{{"CHAPTER II. A s", second}, {"Mine", mine}}));
    // Another text that no longer reaches it: it goes.
    pages.text.html = 1;
    const std::string shorter = Document("story.txt", kStory.substr(0, mine - 1));
    ASSERT_EQ(job.RunConversion(shorter, output, "S", DocumentFormat::PalmDoc, 4, 1), kConversionDone);
    EXPECT_EQ(ReadDatabase(output).bookmarks, (Marks{{"CHAPTER II. A s", second}}));

    // Another document starts without the first one's entries.
    m_bookmarks.Add("For the story", 5, false);
    ConversionJob other(m_bookmarks);
    other.SetPages(&pages);
    ASSERT_EQ(other.RunConversion(Document("other.txt", kStory), output, "O", DocumentFormat::PalmDoc, 4, 1),
              kConversionDone);
    EXPECT_EQ(ReadDatabase(output).bookmarks, (Marks{{"CHAPTER II. A s", second}}));
}

TEST_F(JobTest, InstallQueuesTheWrittenDatabaseButNeverAMeasurement)
{
    TestPages pages;
    pages.autoInstall = true;
    pages.output = (Docs() / "elsewhere.pdb").string();
    const std::string source = Document("story.txt", kStory);
    ConversionJob job(m_bookmarks);
    job.sourcePath = source;
    job.proposedOutputPath = (Docs() / "story.pdb").string();
    job.SetPages(&pages);

    long long size = 0;
    ASSERT_FALSE(job.MeasureDatabaseSize(DocumentFormat::PalmDoc, 4, 1, size));
    EXPECT_GT(size, 78);
    EXPECT_TRUE(fs::is_empty(HotSync() / "Ann" / "Install"));
    // Neither the database nor the prepared text outlives the measurement.
    EXPECT_TRUE(TmpIsEmpty());
    EXPECT_EQ(FileNamesIn(Docs()).size(), 1u);
    EXPECT_TRUE(job.textFilePath.empty());
    // A block size the writer refuses gives no size, but its reason.
    long long unchanged = size;
    const Error refused = job.MeasureDatabaseSize(DocumentFormat::PalmDoc, 0, 1, unchanged);
    ASSERT_TRUE(refused);
    EXPECT_NE(refused.Message().find("0 bytes"), std::string::npos) << refused.Message();
    EXPECT_EQ(unchanged, size);
    EXPECT_TRUE(TmpIsEmpty());

    ASSERT_EQ(job.ConvertFromPages(DocumentFormat::PalmDoc, 4, 1), kConversionDone);
    EXPECT_TRUE(job.LastReport().install.Ok());
    EXPECT_EQ(ReadBytes(HotSync() / "Ann" / "Install" / "elsewhere.pdb"), ReadBytes(pages.output));
    EXPECT_EQ(static_cast<long long>(fs::file_size(pages.output)), size);

    pages.user = "../Ann";
    ASSERT_EQ(job.ConvertFromPages(DocumentFormat::PalmDoc, 4, 1), kConversionDone);
    EXPECT_FALSE(job.LastReport().install.Ok());
    job.DeleteTextFile();
    EXPECT_TRUE(TmpIsEmpty());
}

TEST_F(JobTest, PrepareOnlyLeavesTheOldDatabaseAsItWas)
{
    const std::string source = Document("story.txt", kStory);
    const fs::path output = Docs() / "story.pdb";
    WriteBytes(output, "old");
    fs::permissions(output, fs::perms::owner_read);
    ConversionJob job(m_bookmarks);
    ASSERT_EQ(job.RunConversion(source, output.string(), "S", DocumentFormat::PrepareOnly, 0, 0), kConversionDone);
    EXPECT_EQ(ReadBytes(output), "old");
    EXPECT_EQ(fs::status(output).permissions(), fs::perms::owner_read) << "nothing was written to it";
    EXPECT_FALSE(job.LastReport().databaseWritten);
    EXPECT_FALSE(job.textFilePath.empty());
}

#if defined(__SANITIZE_ADDRESS__)
#define FOLIVO_ADDRESS_LIMIT_WORKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FOLIVO_ADDRESS_LIMIT_WORKS 0
#endif
#endif
#ifndef FOLIVO_ADDRESS_LIMIT_WORKS
#define FOLIVO_ADDRESS_LIMIT_WORKS 1
#endif

TEST_F(JobTest, ADocumentTooLargeForMemoryFailsCleanly)
{
    if (!FOLIVO_ADDRESS_LIMIT_WORKS)
        GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
    // A sparse file of 1 GiB costs no disk; reading it needs that much memory.
    const fs::path source = Docs() / "huge.txt";
    WriteBytes(source, "x");
    fs::resize_file(source, std::uintmax_t{1} << 30);
    const fs::path output = Docs() / "huge.pdb";
    WriteBytes(output, "the old database");

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{512u << 20, 512u << 20};
        setrlimit(RLIMIT_AS, &limit);
        ConversionJob job(m_bookmarks);
        // 31 KB records hold 1 GiB of text; the memory limit is what stops it.
        const int result = job.RunConversion(source.string(), output.string(), "H", DocumentFormat::PalmDoc, 31, 1);
        _exit(result == kConversionOutOfMemory && job.textFilePath.empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadBytes(output), "the old database");
    EXPECT_TRUE(TmpIsEmpty());
}

// A UTF-8 document, its pattern and its title in UTF-8: the database holds
// Windows-1252, the bookmarks point into it, and the characters it lacks are
// counted. With the rule off (or for 8-bit text) the bytes stay as they are.
TEST_F(JobTest, UnicodeDocumentsReachTheHandheldInItsCharacterSet)
{
    const std::string utf8 = "\xEF\xBB\xBF"
                             "Pr\xC3\xA9"
                             "face \xE2\x80\x9C"
                             "quoted\xE2\x80\x9D\n"
                             "Chapitre \xC3\xA9t\xC3\xA9 \xE2\x80\x94 \xC5\x91 \xE2\x98\x83\n"
                             "chapitre deux\n";
    const std::string cp1252 = "Pr\xE9"
                               "face \x93"
                               "quoted\x94\n"
                               "Chapitre \xE9t\xE9 \x97 o ?\n"
                               "chapitre deux\n";
    TestPages pages;
    pages.patterns = "^chapitre (\xC3\xA9t\xC3\xA9|deux)";
    const std::string source = Document("livre.txt", utf8);
    const std::string output = (Docs() / "livre.pdb").string();
    ConversionJob job(m_bookmarks);
    job.SetPages(&pages);
    ASSERT_EQ(job.RunConversion(source, output, "\xC3\x89t\xC3\xA9", DocumentFormat::zTXT, 8, 1), kConversionDone);
    const palm::EbookInfo book = ReadDatabase(output);
    EXPECT_EQ(book.text, cp1252);
    EXPECT_EQ(book.title, "\xC9t\xE9");
    ASSERT_EQ(book.bookmarks.size(), 2u);
    EXPECT_EQ(book.bookmarks[0].offset, cp1252.find("Chapitre"));
    EXPECT_EQ(book.bookmarks[1].offset, cp1252.find("chapitre deux"));
    EXPECT_EQ(job.LastReport().replacedCharacters, 2u) << "the o with double acute and the snowman";

    // UTF-16 with its byte-order mark reads the same.
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("Tea \x92 two"))
        utf16 += {c, '\0'};
    utf16[10] = '\x19', utf16[11] = '\x20';  // the apostrophe as U+2019
    ASSERT_EQ(job.RunConversion(Document("tea.txt", utf16), output, "T", DocumentFormat::PalmDoc, 4, 1),
              kConversionDone);
    EXPECT_EQ(ReadDatabase(output).text, "Tea \x92 two");

    pages.text.charset = 0;
    ASSERT_EQ(job.RunConversion(source, output, "\xC3\x89t\xC3\xA9", DocumentFormat::PalmDoc, 4, 1), kConversionDone);
    EXPECT_EQ(ReadDatabase(output).text, utf8);
    EXPECT_EQ(ReadDatabase(output).title, "\xC3\x89t\xC3\xA9");
    EXPECT_EQ(ReadDatabase(output).bookmarks.size(), 2u) << "the pattern meets the text in the same encoding";
    EXPECT_EQ(job.LastReport().replacedCharacters, 0u);
}

// SIGINT, SIGTERM or SIGHUP in the middle of a run leaves none of the job's
// temporary files (the prepared text, the bookmark file) behind.
TEST_F(JobTest, AnInterruptedRunLeavesNoTemporaryFile)
{
    const std::string source = Document("story.txt", kStory);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const int status = RunRaisingAtTheWriter(source, signal).second;
        ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_TRUE(TmpIsEmpty()) << "signal " << signal;
        EXPECT_FALSE(fs::exists(Docs() / "s.pdb"));
    }
}

TEST_F(JobTest, ALaterRunRemovesWhatKilledRunsLeftButNotWhatLiveOnesHold)
{
    const std::string source = Document("story.txt", kStory);
    const auto runInChild = [&](int signal) { return RunRaisingAtTheWriter(source, signal, WUNTRACED).first; };
    // Each run removes what the killed one before it left: its prepared text
    // and its bookmark file.
    runInChild(SIGKILL);
    const std::vector<std::string> first = FileNamesIn(Tmp());
    EXPECT_EQ(first.size(), 2u);
    runInChild(SIGKILL);
    const std::vector<std::string> second = FileNamesIn(Tmp());
    EXPECT_EQ(second.size(), 2u);
    EXPECT_NE(second, first);
    const pid_t living = runInChild(SIGSTOP);
    const std::vector<std::string> held = FileNamesIn(Tmp());
    EXPECT_EQ(held.size(), 2u);
    EXPECT_NE(held, second);
    {
        ConversionJob job(m_bookmarks);
        EXPECT_EQ(job.RunConversion(source, (Docs() / "later.pdb").string(), "L", DocumentFormat::PalmDoc, 4, 1),
                  kConversionDone);
    }
    EXPECT_EQ(FileNamesIn(Tmp()), held) << "the stopped run's files stay";
    kill(living, SIGKILL);
    waitpid(living, nullptr, 0);
}

class CountingSink : public ProgressSink {
public:
    void Open(const CString& label, int lower, int upper, int) override
    {
        ++opened;
        labels += label + ":" + std::to_string(lower) + "-" + std::to_string(upper) + " ";
    }
    void StepIt() override { ++steps; }
    void Close() override { ++closed; }
    int opened = 0, closed = 0, steps = 0;
    std::string labels;
};

TEST_F(JobTest, ProgressShowsPreparationThenWriter)
{
    const std::string source = Document("story.txt", std::string(400, 'x'));
    CountingSink sink;
    ConversionJob job(m_bookmarks);
    job.sourceFileName = "story.txt";
    job.SetProgress(&sink);
    job.RunConversion(source, (Docs() / "s.pdb").string(), "S", DocumentFormat::PalmDoc, 4, 1);
    EXPECT_EQ(sink.labels, "story.txt:0-20 story.txt:0-1 ");
    EXPECT_EQ(sink.opened, 2);
    EXPECT_EQ(sink.closed, 2);
    EXPECT_EQ(sink.steps, 21);
}

TEST_F(JobTest, DirectRunsConvertWithTheStoredDefaultsAndLeaveNoPreparedText)
{
    const std::string source = Document("Story.txt", kStory);
    ConversionJob job(m_bookmarks);
    EXPECT_EQ(ConvertDirectly(job, source, DocumentFormat::zTXT), kConversionDone);
    const palm::EbookInfo z = ReadDatabase((Docs() / "Story.pdb").string());
    EXPECT_EQ(z.format, palm::EbookFormat::Ztxt);
    EXPECT_EQ(z.title, "Story");
    EXPECT_EQ(z.recordSize, 8192u);
    EXPECT_EQ(job.sourceFileName, "Story.txt");
    EXPECT_TRUE(job.textFilePath.empty());
    EXPECT_TRUE(TmpIsEmpty());
    fs::remove(Docs() / "Story.pdb");

    SaveFormatDefaults(DocumentFormat::PalmDoc, {2, 0, 1});
    EXPECT_EQ(ConvertDirectly(job, source, DocumentFormat::PalmDoc), kConversionDone);
    const palm::EbookInfo doc = ReadDatabase((Docs() / "Story.pdb").string());
    EXPECT_EQ(doc.recordSize, 2048u);
    EXPECT_EQ(doc.compression, 1u);
    fs::remove(Docs() / "Story.pdb");

    // Any other number prepares the text only, and the prepared text goes too.
    EXPECT_EQ(ConvertDirectly(job, source, static_cast<DocumentFormat>(7)), kConversionDone);
    EXPECT_GT(job.LastReport().preparedLength, 0u);
    EXPECT_FALSE(fs::exists(Docs() / "Story.pdb"));
    EXPECT_TRUE(TmpIsEmpty());

    EXPECT_EQ(ConvertDirectly(job, "", DocumentFormat::PalmDoc), kConversionFileNotOpened);
}

TEST(CommandLine, ParsesLikeTheContextMenuWritesIt)
{
    const struct {
        const char* line;
        const char* path;
        int format;
    } cases[] = {
        {"\"C:\\Books\\Story.txt\" 1", "C:\\Books\\Story.txt", 1},
        {"\"/home/a b/x.txt\" 2", "/home/a b/x.txt", 2},
        {"\"x.txt\" abc", "x.txt", 0},
        {"\"x.txt\"", "x.txt", 0},
        {"\"x.txt\" 12z", "x.txt", 12},
        {"\"x.txt\"  -1", "x.txt", -1},
        {"\"x.txt 1", "", 0},
        {"", "", 0},
    };
    for (const auto& c : cases) {
        const ProgramCommandLine parsed = ParseProgramCommandLine(c.line);
        EXPECT_EQ(parsed.path, c.path) << c.line;
        EXPECT_EQ(parsed.format, c.format) << c.line;
    }
    // A number too large for any format is none of them.
    const int huge = ParseProgramCommandLine("\"x.txt\" 99999999999").format;
    EXPECT_NE(huge, 0);
    EXPECT_NE(huge, 1);
    EXPECT_NE(huge, 2);
}

TEST(CommandLine, ArgumentsChooseTheMainDialogOrOneDocument)
{
    using Mode = ProgramStart::Mode;
    const ProgramStart none = ParseProgramArguments({});
    EXPECT_EQ(none.mode, Mode::MainDialog);
    EXPECT_TRUE(none.listed.empty());

    // The program's own form and the launchers' two arguments mean the same.
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"\"/home/a b/Story.txt\" 1"}, {"/home/a b/Story.txt", "1"}}) {
        const ProgramStart start = ParseProgramArguments(arguments);
        EXPECT_EQ(start.mode, Mode::Document) << arguments[0];
        EXPECT_EQ(start.document.path, "/home/a b/Story.txt");
        EXPECT_EQ(start.document.format, 1);
    }
    EXPECT_EQ(ParseProgramArguments({"/b/x.txt", "+2"}).document.format, 2);
    EXPECT_EQ(ParseProgramArguments({"/b/x.txt", "-1"}).document.format, -1);
    // A missing closing quote still names one document, which cannot be opened.
    const ProgramStart unclosed = ParseProgramArguments({"\"/b/x.txt 0"});
    EXPECT_EQ(unclosed.mode, Mode::Document);
    EXPECT_EQ(unclosed.document.path, "");

    // Anything else lists documents: a file manager's "Open with".
    const ProgramStart listed = ParseProgramArguments({"/b/x.txt", "/b/y.htm", "/b/z.txt"});
    EXPECT_EQ(listed.mode, Mode::MainDialog);
    EXPECT_EQ(listed.listed, (std::vector<CString>{"/b/x.txt", "/b/y.htm", "/b/z.txt"}));
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"/b/x.txt"},
                                                      {"/b/x.txt", "/b/2"},
                                                      {"/b/x.txt", "1.5"},
                                                      {"/b/x.txt", "99999999999"},
                                                      {"/b/x.txt", ""}}) {
        const ProgramStart start = ParseProgramArguments(arguments);
        EXPECT_EQ(start.mode, Mode::MainDialog) << arguments.back();
        EXPECT_EQ(start.listed.size(), arguments.size());
    }
}

TEST_F(JobTest, APathWithoutAFolderIsADocumentOfTheCurrentFolder)
{
    Document("Story.txt", kStory);
    const fs::path before = fs::current_path();
    fs::current_path(Docs());
    const ProgramStart start = ParseProgramArguments({"Story.txt", "0"});
    ConversionJob job(m_bookmarks);
    const int result = ConvertDirectly(job, start.document.path, DocumentFormat::PalmDoc);
    fs::current_path(before);
    EXPECT_EQ(result, kConversionDone);
    // The whole path is the file name: nothing of it is lost.
    EXPECT_EQ(job.sourceFileName, "Story.txt");
    EXPECT_EQ(ReadDatabase((Docs() / "Story.pdb").string()).title, "Story");
}

}  // namespace
