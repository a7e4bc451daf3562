// What the wizard's runs leave behind: the database Finish writes and the
// defaults it saves, nothing after Cancel, the size the format page shows,
// the preview on the pages' options and the bookmarks edited there, and the
// direct run of the starters.
#include "EpubFiles.h"

#include "WizardTestSupport.h"
#include <palm/EbookWriters.h>

#include "preview/CAddDlg.h"
#include "preview/CExploreDlg.h"
#include "preview/CPreviewDlg.h"
#include "preview/CRenBookmark.h"
#include "preview/CRichEditEx.h"
#include "preview/Templates.h"
#include "wizard/CProgressDlg.h"

#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTreeWidget>

namespace {

// Counts the progress windows that appear, and whether the wizard could be
// used while any of them was up.
class ProgressWatch : public QObject {
public:
    explicit ProgressWatch(const QWidget* wizard) : m_wizard(wizard) { qApp->installEventFilter(this); }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }

    int Shown() const { return m_shown; }
    bool WizardUsable() const { return m_wizardUsable; }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Show && dynamic_cast<CProgressDlg*>(object)) {
            ++m_shown;
            m_wizardUsable |= m_wizard->isEnabled();
        }
        return false;
    }

private:
    const QWidget* m_wizard;
    int m_shown = 0;
    bool m_wizardUsable = false;
};

// Types `name` over the name in an add or rename dialog and presses OK.
void NameAndOk(QDialog* dialog, int editId, const QString& name)
{
    auto* edit = Find<QLineEdit>(dialog, editId);
    edit->selectAll();
    Type(edit, name);
    Find<QPushButton>(dialog, NameTemplate::kOk)->click();
}

const std::string kStory = "CHAPTER ONE\r\nThe first\r\nline.\r\n\r\nCHAPTER TWO\r\nThe end.\r\n";

TEST_F(WizardTest, FinishSavesTheCheckedPagesAndWritesTheDatabaseThePagesDescribe)
{
    StoreString("Bookmarks", "^chapter");
    Start(Document("story.txt", kStory));
    SetText(kPage1, 1005, "My Story");
    fs::create_directories(Docs() / "out");
    const std::string output = (Docs() / "out" / "custom.pdb").string();
    SetText(kPage1, 1002, QString::fromStdString(output));
    Click(kPage1, 1031);
    NextTo(kPage2);
    Click(kPage2, 1020);
    Click(kPage2, 1024);
    Click(kPage2, 1073);
    NextTo(kPage3);
    auto* patterns = On<QPlainTextEdit>(kPage3, 1017);
    patterns->moveCursor(QTextCursor::End);
    Type(patterns, " two");
    NextTo(kPage4);
    Click(kPage4, 1042);
    QTest::keyClick(On<QSpinBox>(kPage4, 1048), Qt::Key_Up);
    QTest::keyClick(On<QSpinBox>(kPage4, 1048), Qt::Key_Up);
    Click(kPage4, 1024);
    ProgressWatch watch(m_wizard.get());
    Finish();
    EXPECT_FALSE(m_wizard->isVisible());
    EXPECT_EQ(m_wizard->result(), QDialog::Accepted);
    EXPECT_EQ(watch.Shown(), 2);
    EXPECT_FALSE(watch.WizardUsable());

    // Page 2's eleven values, page 3's text untouched, page 4's zTXT values only.
    const std::vector<std::pair<const char*, std::uint32_t>> text{
        {"CRLFCR", 1}, {"CRLFLF", 0}, {"CRLFNone", 0}, {"CRLFTCR", 0}, {"CRLFTLF", 0}, {"CRLFTNone", 1},
        {"Tabs", 0},   {"HTML", 0},   {"ASCII", 0},    {"Single", 1},  {"Charset", 1}};
    for (const auto& [name, value] : text)
        EXPECT_EQ(StoredDword(name), value) << name;
    EXPECT_EQ(StoredString("Bookmarks"), "^chapter");
    EXPECT_EQ(StoredDword("zTxtBlock"), 10u);
    EXPECT_EQ(StoredDword("zTxtCompressRandom"), 0u);
    EXPECT_EQ(StoredDword("zTxtCompressEntire"), 1u);
    EXPECT_EQ(StoredDword("PalmDocBlock"), std::nullopt);

    const palm::EbookInfo book = ReadDatabase(output);
    EXPECT_EQ(book.format, palm::EbookFormat::Ztxt);
    EXPECT_EQ(book.title, "My Story");
    EXPECT_EQ(book.compression, 2);  // the entire document
    EXPECT_EQ(book.recordSize, 10u * 1024);
    const std::string prepared = "CHAPTER ONE The first line.\n\nCHAPTER TWO The end.\n";
    EXPECT_EQ(book.text, prepared);
    EXPECT_EQ(book.bookmarks, (Marks{{"CHAPTER TWO The", static_cast<std::uint32_t>(prepared.find("CHAPTER TWO"))}}));
    EXPECT_FALSE(fs::exists(Docs() / "story.pdb"));
}

TEST_F(WizardTest, CancelWritesNothingAndTheSaveBoxesStartClearInTheNextRun)
{
    StoreDword("Tabs", 0);
    const std::string storeBefore = ReadBytes(m_store.File());
    const std::string source = Document("story.txt", kStory);
    Start(source);
    NextTo(kPage2);
    Click(kPage2, 1027);
    Click(kPage2, 1073);
    NextTo(kPage3);
    Click(kPage3, 1024);
    NextTo(kPage4);
    Click(kPage4, 1024);
    Cancel();
    EXPECT_FALSE(m_wizard->isVisible());
    EXPECT_EQ(m_wizard->result(), QDialog::Rejected);
    EXPECT_EQ(ReadBytes(m_store.File()), storeBefore);
    EXPECT_EQ(FileNamesIn(Docs()), (std::vector<std::string>{"story.txt"}));
    m_wizard->DeleteTextFile();
    EXPECT_EQ(FileNamesIn(Tmp()), (std::vector<std::string>{}));

    Start(source);
    NextTo(kPage4);
    EXPECT_FALSE(Checked(kPage2, 1073));
    EXPECT_FALSE(Checked(kPage3, 1024));
    EXPECT_FALSE(Checked(kPage4, 1024));
    Finish();
    EXPECT_EQ(ReadBytes(m_store.File()), storeBefore);
    EXPECT_TRUE(fs::exists(Docs() / "story.pdb"));
}

TEST_F(WizardTest, TheSizeShownIsTheDatabasesInWholeKilobytesAsOfTheLastMeasurement)
{
    // 2900 letters and 2000 control bytes, which the text rules drop unless
    // low ASCII codes are allowed. Stored uncompressed the letters make a
    // database of a little under 3 KB.
    const std::string source = Document("story.txt", std::string(2900, 'a') + std::string(2000, '\x01'));
    Start(source);
    NextTo(kPage4);
    const QString compressed = SizeShown();
    EXPECT_TRUE(compressed.endsWith(" KB")) << compressed.toStdString();
    Click(kPage4, 1042);
    EXPECT_EQ(SizeShown(), compressed);
    Click(kPage4, 1029);
    EXPECT_EQ(SizeShown(), "2 KB");

    // Options changed elsewhere are measured on return; the page's own stay.
    QTest::keyClick(On<QSpinBox>(kPage4, 1048), Qt::Key_Up);
    Back();
    Back();
    Click(kPage2, 1026);
    NextTo(kPage4);
    EXPECT_EQ(SizeShown(), "4 KB");
    EXPECT_TRUE(Checked(kPage4, 1042));
    EXPECT_EQ(Text(kPage4, 1040), "5");

    // A measurement that fails shows no size, and says why.
    fs::rename(source, Docs() / "moved.txt");
    Click(kPage4, 1029);
    EXPECT_EQ(SizeShown(), "Unknown");
    EXPECT_TRUE(On<QLabel>(kPage4, 1043)->toolTip().endsWith(": No such file or directory"))
        << On<QLabel>(kPage4, 1043)->toolTip().toStdString();
    fs::rename(Docs() / "moved.txt", source);
    Click(kPage4, 1029);
    EXPECT_EQ(SizeShown(), "4 KB");
    EXPECT_TRUE(On<QLabel>(kPage4, 1043)->toolTip().isEmpty());

    // Remainders are dropped: the database written is the size shown.
    Back();
    Click(kPage2, 1026);
    NextTo(kPage4);
    Finish();
    const auto size = fs::file_size(Docs() / "story.pdb");
    EXPECT_EQ(size / 1024, 2u);
    EXPECT_GE(size % 1024, 512u) << "rounding would show 3 KB";
}

TEST_F(WizardTest, TheSizeMeasurementNeverInstallsAndLeavesNoFileBehind)
{
    AddUser("Ann");
    const std::string source = Document("story.txt", kStory);
    Start(source);
    Click(kPage1, 1006);
    ProgressWatch watch(m_wizard.get());
    NextTo(kPage4);
    Click(kPage4, 1029);
    EXPECT_EQ(watch.Shown(), 4);  // preparation and writer, twice
    EXPECT_FALSE(watch.WizardUsable());
    EXPECT_EQ(FileNamesIn(HotSync() / "Ann" / "Install"), (std::vector<std::string>{}));
    EXPECT_EQ(FileNamesIn(Docs()), (std::vector<std::string>{"story.txt"}));
    EXPECT_EQ(FileNamesIn(Tmp()), (std::vector<std::string>{}));

    Finish();
    EXPECT_EQ(ReadBytes(HotSync() / "Ann" / "Install" / "story.pdb"), ReadBytes(Docs() / "story.pdb"));
    m_wizard->DeleteTextFile();
    EXPECT_EQ(FileNamesIn(Tmp()), (std::vector<std::string>{}));

    // A direct run on the same sheet has no page 1 and installs nothing.
    fs::remove(HotSync() / "Ann" / "Install" / "story.pdb");
    EXPECT_EQ(
        m_wizard->RunConversion(source, (Docs() / "direct.pdb").string(), "Direct", DocumentFormat::PalmDoc, 4, 1),
        folivo::kConversionDone);
    EXPECT_EQ(ReadDatabase((Docs() / "direct.pdb").string()).title, "Direct");
    EXPECT_EQ(FileNamesIn(HotSync() / "Ann" / "Install"), (std::vector<std::string>{}));
}

TEST_F(WizardTest, AFailedFinishSaysWhyAndKeepsTheWizardOpen)
{
    MessageBoxAnswers answers(QMessageBox::Ok);
    Start(Document("story.txt", kStory));
    SetText(kPage1, 1002, QString::fromStdString((Docs() / "missing" / "story.pdb").string()));
    NextTo(kPage4);
    Finish();
    EXPECT_TRUE(m_wizard->isVisible());
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].caption, "Folivo conversion wizard");
    EXPECT_EQ(answers.Asked()[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(answers.Asked()[0].text.startsWith("The database could not be written: the output folder"))
        << answers.Asked()[0].text.toStdString();
    EXPECT_FALSE(answers.Asked()[0].text.endsWith("..")) << answers.Asked()[0].text.toStdString();

    Back();
    Back();
    Back();
    SetText(kPage1, 1002, QString::fromStdString((Docs() / "story.pdb").string()));
    NextTo(kPage4);
    Finish();
    EXPECT_FALSE(m_wizard->isVisible());
    EXPECT_EQ(ReadDatabase((Docs() / "story.pdb").string()).text, kStory);
    EXPECT_EQ(answers.Asked().size(), 1u);

    // A database that could not be queued is there all the same, and the user knows.
    AddUser("Ann");
    Start((Docs() / "story.txt").string());
    Click(kPage1, 1006);
    NextTo(kPage4);
    fs::remove_all(HotSync() / "Ann");
    fs::remove(Docs() / "story.pdb");
    Finish();
    EXPECT_FALSE(m_wizard->isVisible());
    EXPECT_TRUE(fs::exists(Docs() / "story.pdb"));
    ASSERT_EQ(answers.Asked().size(), 2u);
    EXPECT_TRUE(answers.Asked()[1].text.startsWith("The database was written, but it could not be queued"))
        << answers.Asked()[1].text.toStdString();
}

TEST_F(WizardTest, ABookWhoseTitleIsQueuedAlreadyIsQueuedWithAWarning)
{
    MessageBoxAnswers answers(QMessageBox::Ok);
    AddUser("Ann");
    const fs::path queue = HotSync() / "Ann" / "Install";
    const std::string source = Document("story.txt", kStory);
    for (int run = 0; run < 2; ++run) {
        Start(source);
        Click(kPage1, 1006);
        NextTo(kPage4);
        Finish();
        if (run == 0)
            fs::rename(queue / "story.pdb", queue / "earlier.pdb");
    }
    EXPECT_EQ(FileNamesIn(queue), (std::vector<std::string>{"earlier.pdb", "story.pdb"}));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(answers.Asked()[0].text, "The database was written, but:\nQueued, but the hand-held keeps only one "
                                       "database of a name: \"story\", the name of story.pdb, is also that of "
                                       "earlier.pdb.");
}

TEST_F(WizardTest, PreviewShowsTheTextAsThePagesPrepareIt)
{
    MessageBoxAnswers answers(QMessageBox::Ok);
    const std::string source = Document("story.htm", "<h1>Title</h1>\n<p>Body&nbsp;text</p>\n");
    Start(source);
    NextTo(kPage2);
    Click(kPage2, 1027);
    Click(kPage2, 1090);  // its bytes, not laid out
    std::vector<QString> lines;
    WhenModal<CPreviewDlg>([&lines](CPreviewDlg* preview) {
        auto* text = Find<CRichEditEx>(preview, PreviewTemplate::kText);
        for (int i = 0; i < text->LineCount(); ++i)
            lines.push_back(text->LineText(i));
        preview->reject();
    });
    ProgressWatch watch(m_wizard.get());
    Click(kPage2, 1049);
    EXPECT_EQ(lines, (std::vector<QString>{"Title", "Bodytext", ""}));
    EXPECT_EQ(watch.Shown(), 1);  // the preparation only
    EXPECT_FALSE(watch.WizardUsable());
    EXPECT_FALSE(fs::exists(Docs() / "story.pdb"));

    // A document that cannot be read: the user is told, no empty preview opens.
    fs::remove(source);
    bool previewOpened = false;
    QTimer::singleShot(0, [&previewOpened] {
        if (auto* preview = dynamic_cast<CPreviewDlg*>(QApplication::activeModalWidget())) {
            previewOpened = true;
            preview->reject();
        }
    });
    Click(kPage2, 1049);
    QApplication::processEvents();
    EXPECT_FALSE(previewOpened);
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_TRUE(answers.Asked()[0].text.startsWith("The document could not be prepared: "));
}

// An EPUB book: its own title on page 1, its chapters as bookmarks in the
// preview, and none once page 3's box is cleared.
TEST_F(WizardTest, AnEpubBookProposesItsTitleAndItsContentsAsBookmarks)
{
    MessageBoxAnswers answers(QMessageBox::Ok);
    Start(Document("stories.epub", epubtest::Zip(epubtest::SmallBook(), Tmp())));
    EXPECT_EQ(Text(kPage1, 1005), "Caf\u00e9 Stories");
    QStringList names;
    const auto preview = [&names](CPreviewDlg* dialog) {
        names.clear();
        auto* combo = Find<QComboBox>(dialog, PreviewTemplate::kBookmarkCombo);
        for (int i = 0; i < combo->count(); ++i)
            names << combo->itemText(i);
        dialog->reject();
    };
    NextTo(kPage3);
    ASSERT_TRUE(Checked(kPage3, 1091));
    WhenModal<CPreviewDlg>(preview);
    Click(kPage3, 1050);
    EXPECT_EQ(names, (QStringList{"One", "Two", "Two, later", "Notes"}));
    Click(kPage3, 1091);
    WhenModal<CPreviewDlg>(preview);
    Click(kPage3, 1050);
    EXPECT_TRUE(names.isEmpty()) << names.join(u',').toStdString();
    EXPECT_TRUE(answers.Asked().empty());
}

// An old database: its name on page 1, a new file beside it, and its own
// bookmarks in the preview whatever page 3 says of the contents.
TEST_F(WizardTest, ADatabaseProposesItsNameANewFileAndItsBookmarks)
{
    MessageBoxAnswers answers(QMessageBox::Ok);
    palm::BookContent content;
    content.title = "Old Stories";
    content.text = "One\nTwo\nThree\n";
    content.bookmarks = {{"Second", 4}, {"Third", 8}};
    std::string database;
    ASSERT_TRUE(palm::BuildZtxt(content, palm::ZtxtMode::RandomAccess, database).Ok());
    Start(Document("old.pdb", database));
    EXPECT_EQ(Text(kPage1, 1005), "Old Stories");
    EXPECT_TRUE(Text(kPage1, 1002).endsWith("/old-converted.pdb")) << Text(kPage1, 1002).toStdString();
    NextTo(kPage3);
    Click(kPage3, 1091);
    std::vector<std::string> names;
    WhenModal<CPreviewDlg>([&names](CPreviewDlg* dialog) {
        names = ComboRows(Find<QComboBox>(dialog, PreviewTemplate::kBookmarkCombo));
        dialog->reject();
    });
    Click(kPage3, 1050);
    EXPECT_EQ(names, (std::vector<std::string>{"Second", "Third"}));
    EXPECT_TRUE(answers.Asked().empty());
}

// The bookmarks the user adds, renames and deletes in the preview are the
// database's; the next document starts without them.
TEST_F(WizardTest, BookmarkEditsInThePreviewReachTheDatabase)
{
    MessageBoxAnswers answers(QMessageBox::Yes);
    StoreString("Bookmarks", "^chapter");
    const std::string story = "CHAPTER I\nOne.\nMore of one.\nCHAPTER II\nTwo.\n";
    Start(Document("story.txt", story));
    NextTo(kPage3);
    WhenModal<CPreviewDlg>([](CPreviewDlg* preview) {
        // Add: a bookmark of the user's own at the line below the top one.
        WhenModal<CAddDlg>([](CAddDlg* add) { NameAndOk(add, NameTemplate::kAddEdit, "Mine"); });
        Find<QPushButton>(preview, PreviewTemplate::kAddButton)->click();
        // Explore: rename the first chapter, delete the second.
        WhenModal<CExploreDlg>([](CExploreDlg* explore) {
            auto* rows = Find<QTreeWidget>(explore, ExploreTemplate::kList);
            ClickRow(rows, 0);
            WhenModal<CRenBookmark>(
                [](CRenBookmark* rename) { NameAndOk(rename, NameTemplate::kRenameEdit, "First"); });
            Find<QPushButton>(explore, ExploreTemplate::kRenameButton)->click();
            ClickRow(rows, 1);
            Find<QPushButton>(explore, ExploreTemplate::kDeleteButton)->click();
            Find<QPushButton>(explore, ExploreTemplate::kCloseButton)->click();
        });
        Find<QPushButton>(preview, PreviewTemplate::kExploreButton)->click();
        preview->reject();
    });
    Click(kPage3, 1050);
    ASSERT_EQ(m_list.Count(), 2);
    NextTo(kPage4);
    Finish();
    EXPECT_EQ(ReadDatabase(Docs() / "story.pdb").bookmarks,
              (Marks{{"First", 0}, {"Mine", static_cast<std::uint32_t>(story.find("One."))}}));

    // Another document on the same sheet: the generated bookmarks only.
    Start(Document("other.txt", story));
    NextTo(kPage4);
    Finish();
    EXPECT_EQ(ReadDatabase(Docs() / "other.pdb").bookmarks,
              (Marks{{"CHAPTER I", 0}, {"CHAPTER II", static_cast<std::uint32_t>(story.find("CHAPTER II"))}}));
}

// An expression the engine refuses is never silently a book without
// bookmarks: Preview and Next say why on page 3 and leave the text there to
// be corrected, also when it was stored and page 3 not yet shown.
TEST_F(WizardTest, AnInvalidBookmarkExpressionIsToldOnPageThreeUntilCorrected)
{
    MessageBoxAnswers answers(QMessageBox::Ok);
    StoreString("Bookmarks", "([");
    Start(Document("story.txt", kStory));
    int previews = 0;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&previews] {
        if (auto* preview = dynamic_cast<CPreviewDlg*>(QApplication::activeModalWidget())) {
            ++previews;
            preview->reject();
        }
    });
    guard.start(5);
    auto* patterns = On<QPlainTextEdit>(kPage3, 1017);
    NextTo(kPage2);
    Click(kPage2, 1049);  // the stored pattern is the one the preview would use
    EXPECT_TRUE(Page(kPage3)->isVisible());
    EXPECT_EQ(patterns->textCursor().selectedText(), "([");
    Click(kPage3, 1050);
    Next();
    EXPECT_TRUE(Page(kPage3)->isVisible());
    ASSERT_EQ(answers.Asked().size(), 3u);
    for (const MessageBoxAnswers::Question& asked : answers.Asked()) {
        EXPECT_TRUE(asked.text.startsWith("The bookmark expression is invalid: ")) << asked.text.toStdString();
        EXPECT_EQ(asked.text.count(".."), 0) << asked.text.toStdString();
        EXPECT_EQ(asked.caption, "Folivo conversion wizard");
    }
    // The engine's own words.
    RegularExpression engine;
    folivo::PrepareBookmarkPattern(engine, "([", true);
    QString reason = QString::fromStdString(engine.GetExpressionError());
    if (reason.endsWith(u'.'))
        reason.chop(1);
    EXPECT_FALSE(reason.isEmpty());
    // (Its first word loses its capital after the colon.)
    EXPECT_TRUE(answers.Asked()[0].text.contains(reason.mid(1))) << reason.toStdString();
    EXPECT_EQ(previews, 0);
    EXPECT_FALSE(fs::exists(Docs() / "story.pdb"));

    patterns->selectAll();
    Type(patterns, "^chapter");
    NextTo(kPage4);
    Finish();
    EXPECT_EQ(answers.Asked().size(), 3u);
    EXPECT_EQ(ReadDatabase(Docs() / "story.pdb").bookmarks.size(), 2u);
}

TEST_F(WizardTest, ADirectRunShowsItsProgressWithoutTheWizard)
{
    const std::string source = Document("story.txt", kStory);
    CWizardDlg sheet(nullptr, m_list);
    sheet.sourcePath = source;
    sheet.sourceFileName = "story.txt";
    sheet.title = "story";
    ProgressWatch watch(&sheet);
    const std::string output = (Docs() / "story.pdb").string();
    EXPECT_EQ(sheet.RunConversion(source, output, "story", DocumentFormat::zTXT, 8, 1), folivo::kConversionDone);
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(watch.Shown(), 2);
    EXPECT_EQ(ReadDatabase(output).format, palm::EbookFormat::Ztxt);
    EXPECT_FALSE(sheet.Job().textFilePath.empty());
    sheet.DeleteTextFile();
    EXPECT_EQ(FileNamesIn(Tmp()), (std::vector<std::string>{}));
}

}  // namespace
