// The wizard's pages as the user walks through them: what each shows first,
// what survives Back and Next, the format switch, and the help.
#include "WizardTestSupport.h"

#include "app/Help.h"
#include "common/DialogUnits.h"

#include <QComboBox>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QSpinBox>

namespace {

using namespace WizardTemplate;

// Every control of the sheet and its pages: known by its id and named for
// assistive tools, the edits after their labels.
TEST_F(WizardTest, EveryControlIsKnownByItsIdAndNamed)
{
    Start(Document("story.txt", "text"));
    for (QWidget* control : m_wizard->findChildren<QWidget*>()) {
        if (!qobject_cast<QAbstractButton*>(control) && !qobject_cast<QLineEdit*>(control) &&
            !qobject_cast<QComboBox*>(control) && !qobject_cast<QPlainTextEdit*>(control) &&
            !qobject_cast<QAbstractSpinBox*>(control))
            continue;
        EXPECT_FALSE(control->objectName().isEmpty()) << control->metaObject()->className();
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    }
    EXPECT_EQ(On<QWidget>(kPage3, 1017)->accessibleName(), "Enter the regular expressions list below");
    EXPECT_EQ(On<QWidget>(kPage4, 1048)->accessibleName(), "Block size (KB)");
    EXPECT_EQ(On<QWidget>(kPage1, 1008)->accessibleName(), "User");
}

// The sheet in its compact form: the buttons and the divider moved into the
// room beside and below the pages, every control whole and inside the sheet.
TEST_F(WizardTest, TheSheetIsCompactAndNoControlIsCutOff)
{
    Start(Document("story.txt", "text"));
    const DialogUnits units(m_wizard->font());
    const QSize framework = units.Size(kPageWidth + kSheetExtraWidth, kPageHeight + kSheetExtraHeight);
    EXPECT_EQ(m_wizard->size(), framework - QSize(kCompactWidth, kCompactHeight));
    const QRect client = m_wizard->rect();
    const QRect divider = Find<QWidget>(m_wizard.get(), kDivider)->geometry();
    EXPECT_EQ(divider.top(), units.Y(kPageHeight + kDividerTop) - kCompactUp);
    const QRect help = SheetButton(kHelpButton)->geometry();
    EXPECT_EQ(help.topLeft(), QPoint(units.X(kPageWidth + kSheetExtraWidth - kMargin - kButtonWidth) - kCompactLeft,
                                     units.Y(kPageHeight + kButtonTop) - kCompactUp));
    EXPECT_EQ(divider.right(), help.right());
    for (int id : {kBackButton, kNextButton, kFinishButton, kCancelButton, kHelpButton}) {
        const QRect button = SheetButton(id)->geometry();
        EXPECT_TRUE(client.contains(button)) << id;
        EXPECT_GT(button.top(), divider.bottom()) << id;
    }
    EXPECT_EQ(SheetButton(kBackButton)->geometry().right() + 1, SheetButton(kNextButton)->x());
    EXPECT_EQ(SheetButton(kFinishButton)->geometry(), SheetButton(kNextButton)->geometry());

    for (int page : {kPage1, kPage2, kPage3, kPage4}) {
        NextTo(page);
        for (QWidget* control : Page(page)->findChildren<QWidget*>()) {
            const bool captioned = qobject_cast<QAbstractButton*>(control) || qobject_cast<QLabel*>(control);
            if (!control->isVisible() || !captioned)
                continue;
            const QRect place(control->mapTo(m_wizard.get(), QPoint()), control->size());
            const std::string name =
                (control->objectName() + u' ' + control->property("text").toString()).toStdString();
            EXPECT_LT(place.bottom(), divider.top()) << name;
            EXPECT_TRUE(client.contains(place)) << name;
            EXPECT_LE(control->sizeHint().width(), control->width()) << name;
        }
    }
}

TEST_F(WizardTest, TheDocumentPageProposesTheDatabaseAndListsTheUsers)
{
    Start(Document("Book.final.txt", "text"));
    EXPECT_EQ(m_wizard->windowTitle(), "Folivo convertion wizard - step 1 of 4 | Document options");
    EXPECT_EQ(Text(kPage1, 1002).toStdString(), (Docs() / "Book.final.pdb").string());
    EXPECT_EQ(Text(kPage1, 1005), "Book.final");
    EXPECT_EQ(m_wizard->proposedOutputPath, (Docs() / "Book.final.pdb").string());
    EXPECT_TRUE(Checked(kPage1, 1045));
    EXPECT_FALSE(SheetButton(kBackButton)->isEnabled());
    EXPECT_TRUE(SheetButton(kNextButton)->isVisible());
    EXPECT_FALSE(SheetButton(kFinishButton)->isVisible());
    // No hand-held users: an empty list, usable only while auto-install is on.
    auto* users = On<QComboBox>(kPage1, 1008);
    EXPECT_EQ(users->count(), 0);
    EXPECT_FALSE(users->isEnabled());
    Click(kPage1, 1006);
    EXPECT_TRUE(users->isEnabled());
    Click(kPage1, 1031);
    m_wizard->reject();

    // The next run: users sorted as a list box sorts them, the first chosen;
    // auto-install and the format start afresh.
    AddUser("Bob");
    AddUser("ann");
    AddUser("carl");
    fs::create_directories(Docs() / "My.Docs");
    Start(Document("My.Docs/readme", "text"));
    EXPECT_EQ(Text(kPage1, 1002).toStdString(), (Docs() / "My.Docs" / "readme.pdb").string());
    EXPECT_EQ(Text(kPage1, 1005), "readme");
    EXPECT_EQ(ComboRows(users), (std::vector<std::string>{"ann", "Bob", "carl"}));
    EXPECT_EQ(users->currentText(), "ann");
    EXPECT_FALSE(Checked(kPage1, 1006));
    EXPECT_FALSE(users->isEnabled());
    EXPECT_TRUE(Checked(kPage1, 1045));
}

TEST_F(WizardTest, BrowseGivesThePdbPathAndTitleOfTheChosenOrTypedName)
{
    Start(Document("story.txt", "text"));
    WriteBytes(Docs() / "Notes.txt", "notes");
    const auto choose = [this](const QString& typed) {
        WhenModal<QFileDialog>([typed](QFileDialog* dialog) {
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            name->setText(typed);
            QTest::keyClick(name, Qt::Key_Return);
        });
        Click(kPage1, 1003);
    };
    choose("Notes.txt");
    EXPECT_EQ(Text(kPage1, 1002).toStdString(), (Docs() / "Notes.pdb").string());
    EXPECT_EQ(Text(kPage1, 1005), "Notes");
    // A name that does not exist yet, without an extension.
    choose("Fresh");
    EXPECT_EQ(Text(kPage1, 1002).toStdString(), (Docs() / "Fresh.pdb").string());
    EXPECT_EQ(Text(kPage1, 1005), "Fresh");

    WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    Click(kPage1, 1003);
    EXPECT_EQ(Text(kPage1, 1005), "Fresh");
}

TEST_F(WizardTest, PagesShowTheStoredValuesFirstAndKeepTheUsersChanges)
{
    StoreDword("CRLFCR", 1);
    StoreDword("CRLFNone", 0);
    StoreDword("CRLFTLF", 1);
    StoreDword("CRLFTNone", 0);
    StoreDword("HTML", 1);
    StoreDword("Charset", 0);
    StoreString("Bookmarks", "^chapter\r\n\r\nend  ");
    StoreDword("PalmDocBlock", 12);
    StoreDword("PalmDocCompressOn", 0);
    StoreDword("PalmDocCompressOff", 1);
    Start(Document("story.txt", "CHAPTER I\r\ntext\r\n"));

    Next();
    EXPECT_EQ(m_wizard->windowTitle(), "Folivo convertion wizard - step 2 of 4 | Text options");
    EXPECT_TRUE(SheetButton(kBackButton)->isEnabled());
    EXPECT_TRUE(SheetButton(kNextButton)->isVisible());
    const auto textPage = [this] {
        std::vector<bool> checked;
        for (int id : {1018, 1019, 1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1089})
            checked.push_back(Checked(kPage2, id));
        return checked;
    };
    EXPECT_EQ(textPage(),
              (std::vector<bool>{false, false, true, false, false, true, false, false, false, true, false}));
    Click(kPage2, 1019);
    Click(kPage2, 1025);

    Next();
    auto* patterns = On<QPlainTextEdit>(kPage3, 1017);
    EXPECT_EQ(patterns->toPlainText(), "^chapter\n\nend  ");
    patterns->moveCursor(QTextCursor::End);
    Type(patterns, "|x");

    Next();
    EXPECT_EQ(m_wizard->windowTitle(), "Folivo convertion wizard - step 4 of 4 | Format options");
    EXPECT_FALSE(SheetButton(kNextButton)->isVisible());
    EXPECT_TRUE(SheetButton(kFinishButton)->isVisible());
    EXPECT_EQ(Text(kPage4, 1072), "Selected document format: PalmDoc");
    EXPECT_EQ(On<QAbstractButton>(kPage4, 1041)->text(), "On");
    EXPECT_EQ(On<QAbstractButton>(kPage4, 1042)->text(), "Off");
    EXPECT_EQ(Text(kPage4, 1040), "12");
    EXPECT_FALSE(Checked(kPage4, 1041));
    EXPECT_TRUE(Checked(kPage4, 1042));
    QTest::keyClick(On<QSpinBox>(kPage4, 1048), Qt::Key_Up);
    Click(kPage4, 1041);

    // The store changes meanwhile: the pages keep what the user sees.
    StoreDword("CRLFLF", 0);
    StoreDword("Tabs", 0);
    StoreString("Bookmarks", "other");
    StoreDword("PalmDocBlock", 20);
    Back();
    Back();
    Back();
    NextTo(kPage4);
    EXPECT_EQ(textPage(), (std::vector<bool>{false, true, false, false, false, true, false, true, false, true, false}));
    EXPECT_EQ(patterns->toPlainText(), "^chapter\n\nend  |x");
    EXPECT_EQ(Text(kPage4, 1040), "13");
    EXPECT_TRUE(Checked(kPage4, 1041));
}

TEST_F(WizardTest, EachFormatClickReloadsTheFormatPagesStoredValues)
{
    StoreDword("PalmDocBlock", 6);
    StoreDword("zTxtBlock", 16);
    StoreDword("zTxtCompressRandom", 0);
    StoreDword("zTxtCompressEntire", 1);
    Start(Document("story.txt", "Some text to convert.\n"));
    auto* arrows = On<QSpinBox>(kPage4, 1048);
    const auto backToPage1 = [this] {
        while (!Page(kPage1)->isVisible())
            Back();
    };

    NextTo(kPage4);
    EXPECT_EQ(Text(kPage4, 1040), "6");
    QTest::keyClick(arrows, Qt::Key_Up);
    backToPage1();
    Click(kPage1, 1031);
    NextTo(kPage4);
    EXPECT_EQ(Text(kPage4, 1072), "Selected document format: zTXT");
    EXPECT_EQ(On<QAbstractButton>(kPage4, 1041)->text(), "Random access compression");
    EXPECT_EQ(On<QAbstractButton>(kPage4, 1042)->text(), "Entire document compression");
    EXPECT_EQ(On<QAbstractButton>(kPage4, 1042)->accessibleName(), "Entire document compression");
    EXPECT_EQ(Text(kPage4, 1040), "16");
    EXPECT_TRUE(Checked(kPage4, 1042));

    // Without a click the user's change stays; a click on the format already
    // chosen reloads it all the same.
    QTest::keyClick(arrows, Qt::Key_Up);
    backToPage1();
    NextTo(kPage4);
    EXPECT_EQ(Text(kPage4, 1040), "17");
    backToPage1();
    Click(kPage1, 1031);
    NextTo(kPage4);
    EXPECT_EQ(Text(kPage4, 1040), "16");
    backToPage1();
    Click(kPage1, 1045);
    NextTo(kPage4);
    EXPECT_EQ(Text(kPage4, 1040), "6");
    EXPECT_EQ(On<QAbstractButton>(kPage4, 1041)->text(), "On");
    EXPECT_TRUE(Checked(kPage4, 1041));
}

// A screen reader reads the format page's format line and size as they are
// shown, not their labels.
TEST_F(WizardTest, TheFormatAndSizeAreSpokenAsShown)
{
    Start(Document("story.txt", std::string(5000, 'x')));
    NextTo(kPage4);
    EXPECT_EQ(SpokenName(On<QWidget>(kPage4, 1072)), "Selected document format: PalmDoc");
    EXPECT_EQ(SpokenName(On<QWidget>(kPage4, 1043)), "Resulting size: " + SizeShown());
    while (!Page(kPage1)->isVisible())
        Back();
    Click(kPage1, 1031);
    NextTo(kPage4);
    EXPECT_EQ(SpokenName(On<QWidget>(kPage4, 1072)), "Selected document format: zTXT");
    EXPECT_EQ(SpokenName(On<QWidget>(kPage4, 1043)), "Resulting size: " + SizeShown());
    EXPECT_EQ(SpokenName(On<QWidget>(kPage4, 1041)), "Random access compression");
}

TEST_F(WizardTest, TheBlockSizeMovesOnlyByTheArrowsFromOneToThirtyOne)
{
    Start(Document("story.txt", "Some text to convert.\n"));
    NextTo(kPage4);
    auto* edit = On<QLineEdit>(kPage4, 1040);
    auto* arrows = On<QSpinBox>(kPage4, 1048);
    edit->setFocus();
    Type(edit, "9");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "4");
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(arrows, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "1");
    for (int i = 0; i < 40; ++i)
        QTest::keyClick(arrows, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "31");
}

TEST_F(WizardTest, ThePatternTextIsKeptByteForByteAndAlwaysFitsTheStore)
{
    const CString stored = "^a\r\n\r\nb  \r\nlone\nend";
    StoreString("Bookmarks", stored);
    Start(Document("story.txt", "text\n"));
    NextTo(kPage3);
    auto* edit = On<QPlainTextEdit>(kPage3, 1017);
    Click(kPage3, 1024);
    NextTo(kPage4);
    Finish();
    EXPECT_EQ(StoredString("Bookmarks"), stored);

    // Typed lines are joined by CR LF; blank lines and trailing spaces stay.
    StoreString("Bookmarks", "^a\r\n\r\nb  ");
    Start(Document("story.txt", "text\n"));
    NextTo(kPage3);
    edit->moveCursor(QTextCursor::End);
    QTest::keyClick(edit, Qt::Key_Return);
    Type(edit, QString::fromUtf8("c\u00e9 "));
    Click(kPage3, 1024);
    NextTo(kPage4);
    Finish();
    EXPECT_EQ(StoredString("Bookmarks"), "^a\r\n\r\nb  \r\nc\xC3\xA9 ");

    // The edit takes no more than the store can read back: 4191 bytes.
    Start(Document("story.txt", "text\n"));
    NextTo(kPage3);
    edit->setPlainText(QString(4190, u'x'));
    edit->moveCursor(QTextCursor::End);
    Type(edit, QString::fromUtf8("\u00e9"));  // two bytes
    EXPECT_EQ(edit->toPlainText().size(), 4190);
    Type(edit, "y");
    Type(edit, "z");
    EXPECT_EQ(edit->toPlainText(), QString(4190, u'x') + u'y');
    Click(kPage3, 1024);
    NextTo(kPage4);
    Finish();
    Start(Document("story.txt", "text\n"));
    NextTo(kPage3);
    EXPECT_EQ(edit->toPlainText().size(), 4191);
}

// When the store cannot be opened, each page starts from the built-in values
// and what the user chooses counts and stays.
TEST_F(WizardTest, AnUnreadableStoreLeavesThePagesUsable)
{
    fs::remove_all(m_store.Folder());
    WriteBytes(m_store.Folder(), "not a folder");
    const std::string source = Document("story.txt", "<p>A&nbsp;story</p>\n");
    Start(source);
    NextTo(kPage2);
    EXPECT_TRUE(Checked(kPage2, 1018));
    EXPECT_TRUE(Checked(kPage2, 1089));
    Click(kPage2, 1027);
    NextTo(kPage4);
    EXPECT_EQ(On<QAbstractButton>(kPage4, 1041)->text(), "On");
    EXPECT_EQ(Text(kPage4, 1040), "4");
    EXPECT_NE(SizeShown(), "Static");
    Back();
    Back();
    EXPECT_TRUE(Checked(kPage2, 1027));
    NextTo(kPage4);
    Finish();
    EXPECT_FALSE(m_wizard->isVisible());
    EXPECT_EQ(ReadDatabase((Docs() / "story.pdb").string()).text, "Astory\n");
}

TEST_F(WizardTest, HelpOpensEachPagesTopicAndF1AsEachPageSays)
{
    std::vector<QString> opened;
    SetHelpOpener([&opened](const QUrl& url) {
        opened.push_back(url.fileName() + u'#' + url.fragment());
        return true;
    });
    Start(Document("story.txt", "text\n"));
    QApplication::setActiveWindow(m_wizard.get());
    for (int page : {kPage1, kPage2, kPage3, kPage4}) {
        NextTo(page);
        SheetButton(kHelpButton)->click();
        QTest::keyClick(m_wizard.get(), Qt::Key_F1);
    }
    SetHelpOpener({});
    // F1 opens the page's own topic on pages 1 and 2, nothing on 3 and 4.
    EXPECT_EQ(opened, (std::vector<QString>{"PAGE2.HTM#2_1", "PAGE2.HTM#2_1", "PAGE2.HTM#2_2", "PAGE2.HTM#2_2",
                                            "PAGE2.HTM#2_3", "PAGE2.HTM#2_4"}));
}

}  // namespace
