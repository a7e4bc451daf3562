#include "GuiTestSupport.h"

#include "app/Help.h"
#include "common/DialogUnits.h"
#include "preview/CAddDlg.h"
#include "preview/CExploreDlg.h"
#include "preview/CGoToDlg.h"
#include "preview/CNumEdit.h"
#include "preview/CPreviewDlg.h"
#include "preview/CRichEditEx.h"
#include "preview/Templates.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QWheelEvent>

namespace {

using namespace PreviewTemplate;

// A text of numbered lines and where each line starts.
struct Book {
    std::string bytes;
    std::vector<std::int32_t> starts;
};

Book MakeBook(int lines, const std::string& lineBreak)
{
    Book book;
    for (int i = 0; i < lines; ++i) {
        if (i > 0)
            book.bytes += lineBreak;
        book.starts.push_back(static_cast<std::int32_t>(book.bytes.size()));
        book.bytes += "Line " + std::to_string(i) + " of the book";
    }
    return book;
}

class PreviewDlgTest : public GuiTest {
protected:
    void Open(const std::string& bytes)
    {
        WriteBytes(m_textPath, bytes);
        OpenFile(m_textPath);
    }
    void OpenFile(const std::string& path)
    {
        m_dialog = std::make_unique<CPreviewDlg>(path, nullptr, m_list);
        m_dialog->show();
        m_text = Find<CRichEditEx>(m_dialog.get(), kText);
        m_combo = Find<QComboBox>(m_dialog.get(), kBookmarkCombo);
        m_percent = Find<QPushButton>(m_dialog.get(), kPercentButton);
    }
    // Chooses a row of the bookmark combo as the user does, in its list.
    void ChooseBookmark(int row) const
    {
        m_combo->showPopup();
        QAbstractItemView* list = m_combo->view();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(row, 0)).center());
        ASSERT_FALSE(list->isVisible());
    }
    QScrollBar* Bar() const { return m_text->verticalScrollBar(); }
    // Turns the mouse wheel over the text, down for positive notches.
    void Wheel(int notches) const
    {
        QWidget* viewport = m_text->viewport();
        const QPointF at = viewport->rect().center();
        for (int i = 0; i < std::abs(notches); ++i) {
            QWheelEvent wheel(at, viewport->mapToGlobal(at), {}, QPoint(0, notches > 0 ? -120 : 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &wheel);
        }
    }

    ScratchFolder m_folder;
    std::string m_textPath = m_folder / "prepared.txt";
    BookmarkList m_list;
    std::unique_ptr<CPreviewDlg> m_dialog;
    CRichEditEx* m_text = nullptr;
    QComboBox* m_combo = nullptr;
    QPushButton* m_percent = nullptr;
};

// Texts with CR LF, LF-only and CR-only line breaks behave alike.
class LineBreakTest : public PreviewDlgTest, public testing::WithParamInterface<std::string> {};

INSTANTIATE_TEST_SUITE_P(AllKinds, LineBreakTest, testing::Values("\r\n", "\n", "\r"),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param == "\r\n" ? "CrLf" : info.param == "\n" ? "Lf" : "Cr";
                         });

TEST_P(LineBreakTest, ShowsOneLinePerLineAndOneCharacterPerByte)
{
    const std::string& br = GetParam();
    Open("Title" + br + br + "\x93Quoted\x94 caf\xE9\t\x80" + br + "end" + br);
    EXPECT_EQ(m_text->LineCount(), 5);
    EXPECT_EQ(m_text->LineText(0), "Title");
    EXPECT_EQ(m_text->LineText(1), "");
    EXPECT_EQ(m_text->LineText(2), QString::fromUtf8("\u201cQuoted\u201d caf\u00e9\t\u20ac"));
    EXPECT_EQ(m_text->LineText(3), "end");
    EXPECT_TRUE(m_text->isReadOnly());
    EXPECT_EQ(m_percent->text(), "0&%");
}

TEST_P(LineBreakTest, AJumpBringsTheBookmarksOwnLineToTheTop)
{
    const Book book = MakeBook(300, GetParam());
    m_list.Add("Forty", book.starts[40], true);
    m_list.Add("Inside 150", book.starts[150] + 6, false);  // a position within its line
    m_list.Add("Last", book.starts[299], false);
    Open(book.bytes);
    EXPECT_EQ(ComboRows(m_combo), (std::vector<std::string>{"Forty", "Inside 150", "Last"}));
    EXPECT_EQ(m_combo->currentIndex(), 0);

    ChooseBookmark(1);
    EXPECT_EQ(m_text->FirstVisibleLine(), 150);
    EXPECT_EQ(m_percent->text(), QString::number(150 * 100 / 299) + "%");
    ChooseBookmark(0);
    EXPECT_EQ(m_text->FirstVisibleLine(), 40);
    ChooseBookmark(2);  // the end: as far as the text scrolls
    EXPECT_EQ(m_text->FirstVisibleLine(), Bar()->maximum());
    EXPECT_GT(m_text->FirstVisibleLine(), 250);
    EXPECT_EQ(m_percent->text(), QString::number(Bar()->maximum() * 100 / 299) + "%");
}

TEST_P(LineBreakTest, AddProposesTheLineBelowTheTopmostOne)
{
    const Book book = MakeBook(120, GetParam());
    Open(book.bytes);
    Bar()->setValue(70);
    ASSERT_EQ(m_text->FirstVisibleLine(), 70);
    WhenModal<CAddDlg>([](CAddDlg* add) {
        EXPECT_EQ(Find<QLineEdit>(add, NameTemplate::kAddEdit)->text(), "Line 71 of the ");
        add->accept();
    });
    QTest::mouseClick(Find<QPushButton>(m_dialog.get(), kAddButton), Qt::LeftButton);
    ASSERT_EQ(m_list.Count(), 1);
    EXPECT_EQ(m_list.At(0)->position, book.starts[71]);
    EXPECT_FALSE(m_list.At(0)->generated);
    EXPECT_EQ(ComboRows(m_combo), (std::vector<std::string>{"Line 71 of the "}));

    Bar()->setValue(0);
    ChooseBookmark(0);
    EXPECT_EQ(m_text->FirstVisibleLine(), 71);
}

TEST_F(PreviewDlgTest, TheTextEndsAtItsFirstNulByte)
{
    Open(std::string("shown\nalso shown\0hidden\nhidden", 30));
    EXPECT_EQ(m_text->LineCount(), 2);
    EXPECT_EQ(m_text->LineText(1), "also shown");
}

TEST_F(PreviewDlgTest, AOneLineTextJumpsToZeroAndAddsAtItsOnlyLine)
{
    m_list.Add("Only", 3, true);
    Open("A single line of text");
    ChooseBookmark(0);
    EXPECT_EQ(m_percent->text(), "0%");
    WhenModal<CAddDlg>([](CAddDlg* add) {
        EXPECT_EQ(Find<QLineEdit>(add, NameTemplate::kAddEdit)->text(), "A single line o");
        add->accept();
    });
    QTest::mouseClick(Find<QPushButton>(m_dialog.get(), kAddButton), Qt::LeftButton);
    ASSERT_EQ(m_list.Count(), 2);
    EXPECT_EQ(m_list.At(1)->position, 0);
}

TEST_F(PreviewDlgTest, WithoutATextTheBookmarksAreStillListedAndAddStartsEmpty)
{
    m_list.Add("From before", 5000, false);
    OpenFile(m_folder / "missing.txt");
    EXPECT_TRUE(m_text->toPlainText().isEmpty());
    EXPECT_EQ(ComboRows(m_combo), (std::vector<std::string>{"From before"}));
    ChooseBookmark(0);
    EXPECT_EQ(m_text->FirstVisibleLine(), 0);
    EXPECT_EQ(m_percent->text(), "0%");
    WhenModal<CAddDlg>([](CAddDlg* add) {
        EXPECT_TRUE(Find<QLineEdit>(add, NameTemplate::kAddEdit)->text().isEmpty());
        EXPECT_FALSE(Find<QPushButton>(add, NameTemplate::kOk)->isEnabled());
        add->reject();
    });
    QTest::mouseClick(Find<QPushButton>(m_dialog.get(), kAddButton), Qt::LeftButton);
    EXPECT_EQ(m_list.Count(), 1);

    Open("");
    EXPECT_EQ(m_text->LineCount(), 1);
    EXPECT_EQ(ComboRows(m_combo).size(), 1u);
}

TEST_F(PreviewDlgTest, ThePercentFollowsTheScrollBarAndTheWheelButNotTheKeyboard)
{
    Open(MakeBook(200, "\r\n").bytes);
    Bar()->setSliderDown(true);
    Bar()->setSliderPosition(50);  // dragging the thumb
    Bar()->setSliderDown(false);
    EXPECT_EQ(m_text->FirstVisibleLine(), 50);
    EXPECT_EQ(m_percent->text(), "25%");

    Bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);  // a click below the thumb
    const int afterPage = m_text->FirstVisibleLine();
    EXPECT_GT(afterPage, 50);
    EXPECT_EQ(m_percent->text(), QString::number(afterPage * 100 / 200) + "%");

    Wheel(-2);
    const int afterWheel = m_text->FirstVisibleLine();
    EXPECT_EQ(afterWheel, afterPage - 2 * QApplication::wheelScrollLines());
    EXPECT_EQ(m_percent->text(), QString::number(afterWheel * 100 / 200) + "%");

    m_text->setFocus();
    QTest::keyClick(m_text, Qt::Key_End, Qt::ControlModifier);
    EXPECT_GT(m_text->FirstVisibleLine(), afterWheel);
    EXPECT_EQ(m_percent->text(), QString::number(afterWheel * 100 / 200) + "%");
}

TEST_F(PreviewDlgTest, ThePercentButtonGoesToTheChosenPercentage)
{
    Open(MakeBook(200, "\n").bytes);
    Bar()->setValue(50);
    WhenModal<CGoToDlg>([](CGoToDlg* goTo) {
        auto* edit = Find<CNumEdit>(goTo, GoToTemplate::kEdit);
        EXPECT_EQ(edit->text(), "25");
        QTest::keyClicks(edit, "50");
        goTo->accept();
    });
    QTest::mouseClick(m_percent, Qt::LeftButton);
    EXPECT_EQ(m_text->FirstVisibleLine(), 100);
    EXPECT_EQ(m_percent->text(), "50%");
    EXPECT_EQ(SpokenName(m_percent), "50%");

    WhenModal<CGoToDlg>([](CGoToDlg* goTo) {
        QTest::keyClicks(Find<CNumEdit>(goTo, GoToTemplate::kEdit), "10");
        goTo->reject();
    });
    QTest::mouseClick(m_percent, Qt::LeftButton);
    EXPECT_EQ(m_text->FirstVisibleLine(), 100);
    EXPECT_EQ(m_percent->text(), "50%");
}

TEST_F(PreviewDlgTest, TheComboListsCleanNamesAndKeepsItsRowAfterDeletions)
{
    m_list.Add("\r", 0, true);
    m_list.Add("Chapter\r\n 1", 10, true);
    m_list.Add("Two", 20, true);
    m_list.Add("Three", 30, false);
    Open(MakeBook(50, "\r\n").bytes);
    EXPECT_EQ(ComboRows(m_combo), (std::vector<std::string>{"", "Chapter 1", "Two", "Three"}));
    EXPECT_EQ(m_list.At(1)->name, "Chapter 1");

    ChooseBookmark(2);
    MessageBoxAnswers yes(QMessageBox::Yes);
    auto deleteRow = [](int row) {
        WhenModal<CExploreDlg>([row](CExploreDlg* explore) {
            ClickRow(Find<QTreeWidget>(explore, ExploreTemplate::kList), row);
            QTest::mouseClick(Find<QPushButton>(explore, ExploreTemplate::kDeleteButton), Qt::LeftButton);
            explore->reject();
        });
    };
    auto* explore = Find<QPushButton>(m_dialog.get(), kExploreButton);
    deleteRow(2);
    QTest::mouseClick(explore, Qt::LeftButton);
    EXPECT_EQ(ComboRows(m_combo), (std::vector<std::string>{"", "Chapter 1", "Three"}));
    EXPECT_EQ(m_combo->currentIndex(), 2);
    deleteRow(2);
    QTest::mouseClick(explore, Qt::LeftButton);
    EXPECT_EQ(m_combo->currentIndex(), 0);

    WhenModal<CExploreDlg>([](CExploreDlg* explore) {
        QTest::mouseClick(Find<QPushButton>(explore, ExploreTemplate::kDeleteAllButton), Qt::LeftButton);
        explore->reject();
    });
    QTest::mouseClick(explore, Qt::LeftButton);
    EXPECT_EQ(m_combo->count(), 0);
    EXPECT_EQ(m_combo->currentIndex(), -1);
}

TEST_F(PreviewDlgTest, GoToInTheExploreListJumpsThere)
{
    const Book book = MakeBook(100, "\r");
    m_list.Add("b", book.starts[60], true);
    m_list.Add("a", book.starts[30], true);
    Open(book.bytes);
    WhenModal<CExploreDlg>([](CExploreDlg* explore) {
        auto* order = Find<QComboBox>(explore, ExploreTemplate::kOrderCombo);
        order->setCurrentIndex(1);
        auto* view = Find<QTreeWidget>(explore, ExploreTemplate::kList);
        EXPECT_EQ(view->topLevelItem(1)->text(0), "b");
        ClickRow(view, 1);
        QTest::mouseClick(Find<QPushButton>(explore, ExploreTemplate::kGoToButton), Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(m_dialog.get(), kExploreButton), Qt::LeftButton);
    EXPECT_EQ(m_text->FirstVisibleLine(), 60);
}

TEST_F(PreviewDlgTest, CloseKeepsThePlaceForTheNextPreviewAndEscapeDoesNot)
{
    Open("text");
    const QSize template_ = m_dialog->size();
    m_dialog->setGeometry(70, 80, template_.width() + 120, template_.height() + 60);
    QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(m_dialog->isVisible());
    Open("text");
    EXPECT_EQ(m_dialog->size(), template_);

    m_dialog->setGeometry(70, 80, template_.width() + 120, template_.height() + 60);
    QTest::mouseClick(Find<QPushButton>(m_dialog.get(), kCloseButton), Qt::LeftButton);
    EXPECT_FALSE(m_dialog->isVisible());
    Open("text");
    EXPECT_EQ(m_dialog->geometry(), QRect(70, 80, template_.width() + 120, template_.height() + 60));
}

TEST_F(PreviewDlgTest, TheTextAndTheBookmarkRowGrowWithTheWindowWhichStopsAtItsTemplateSize)
{
    Open("text");
    const DialogUnits units(m_dialog->font());
    EXPECT_EQ(m_dialog->minimumSize(), units.Size(kWidth, kHeight));
    m_dialog->resize(10, 10);
    EXPECT_EQ(m_dialog->size(), units.Size(kWidth, kHeight));

    for (QSize size : {QSize(900, 700), units.Size(kWidth, kHeight) + QSize(1, 1)}) {
        m_dialog->resize(size);
        const QRect close = Find<QPushButton>(m_dialog.get(), kCloseButton)->geometry();
        const QRect percent = m_percent->geometry();
        const QRect text = m_text->geometry();
        EXPECT_EQ(size.width() - close.x(), units.X(54));
        EXPECT_EQ(size.width() - (close.right() + 1), units.X(4));
        EXPECT_EQ(size.height() - close.y(), units.Y(17));
        EXPECT_EQ(size.height() - (close.bottom() + 1), units.Y(3));
        EXPECT_EQ(percent.y(), close.y());
        EXPECT_EQ(percent.x(), units.X(4));
        EXPECT_EQ(text.topLeft(), QPoint(units.X(4), units.Y(24)));
        EXPECT_EQ(size.width() - (text.right() + 1), units.X(4));
        EXPECT_EQ(size.height() - (text.bottom() + 1), units.Y(21));
        // Add and Explore keep their template distance to the right edge, and
        // the bookmark list takes the width gained.
        const int wider = size.width() - units.X(kWidth);
        EXPECT_EQ(Find<QPushButton>(m_dialog.get(), kAddButton)->geometry(), units.Map(kAddRect).translated(wider, 0));
        EXPECT_EQ(Find<QPushButton>(m_dialog.get(), kExploreButton)->geometry(),
                  units.Map(kExploreRect).translated(wider, 0));
        EXPECT_EQ(m_combo->x(), units.X(46));
        EXPECT_EQ(m_combo->width(), units.X(137) - units.X(46) + wider);
    }
}

TEST_F(PreviewDlgTest, HelpOpensThePreviewTopicBesideTheProgram)
{
    std::vector<QUrl> opened;
    SetHelpOpener([&opened](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    Open("text");
    QApplication::setActiveWindow(m_dialog.get());
    QTest::keyClick(m_text, Qt::Key_F1);
    SetHelpOpener({});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].fragment(), "3");
    EXPECT_EQ(opened[0].toLocalFile(),
              QDir(QCoreApplication::applicationDirPath()).filePath("gui_tests.help/PAGE2.HTM"));
}

}  // namespace
