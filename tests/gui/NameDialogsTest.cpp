#include "GuiTestSupport.h"

#include "preview/CAddDlg.h"
#include "preview/CRenBookmark.h"
#include "preview/Templates.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

using namespace NameTemplate;

class NameDialogsTest : public GuiTest {
protected:
    BookmarkList m_list;
};

// Both dialogs take as many characters as the database of the chosen format
// keeps, so that no name is cut without the user seeing it.
TEST_F(NameDialogsTest, NamesTakeAsManyCharactersAsTheFormatKeeps)
{
    struct Case {
        DocumentFormat format;
        const char* added;
        const char* renamed;
    };
    for (const Case& c : {Case{DocumentFormat::PalmDoc, "Chapter the Fir", "Part Two of the"},
                          Case{DocumentFormat::zTXT, "Chapter the First, i", "Part Two of the Book"}}) {
        CAddDlg add(0, "Chapter", nullptr, m_list, c.format);
        QTest::keyClicks(Find<QLineEdit>(&add, kAddEdit), " the First, in which");
        EXPECT_EQ(Find<QLineEdit>(&add, kAddEdit)->text(), c.added);
        QTest::mouseClick(Find<QPushButton>(&add, kOk), Qt::LeftButton);
        CRenBookmark rename(m_list.Count() - 1, nullptr, m_list, c.format);
        auto* edit = Find<QLineEdit>(&rename, kRenameEdit);
        EXPECT_EQ(edit->text(), c.added);
        QTest::keyClicks(edit, "Part Two of the Book, again");
        EXPECT_EQ(edit->text(), c.renamed);
        QTest::mouseClick(Find<QPushButton>(&rename, kOk), Qt::LeftButton);
        EXPECT_EQ(m_list.At(m_list.Count() - 1)->name, c.renamed);
    }
}

TEST_F(NameDialogsTest, AddProposesTheNameUnselected)
{
    CAddDlg dialog(1200, "Fifteen chars!!", nullptr, m_list);
    dialog.show();
    auto* edit = Find<QLineEdit>(&dialog, kAddEdit);
    auto* ok = Find<QPushButton>(&dialog, kOk);
    EXPECT_EQ(dialog.windowTitle(), "Add bookmark");
    EXPECT_EQ(edit->toolTip(), "New bookmark name");
    EXPECT_EQ(edit->text(), "Fifteen chars!!");
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(dialog.focusWidget(), edit);
    EXPECT_TRUE(ok->isEnabled());

    edit->clear();
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(edit, " ");
    EXPECT_TRUE(ok->isEnabled());  // a name of spaces is a name
}

TEST_F(NameDialogsTest, AddAppendsAManualEntryOnOkOnly)
{
    {
        CAddDlg cancelled(5, "Gone", nullptr, m_list);
        cancelled.show();
        QTest::mouseClick(Find<QPushButton>(&cancelled, kCancel), Qt::LeftButton);
        EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    }
    EXPECT_TRUE(m_list.IsEmpty());

    m_list.Add("Chapter 1", 40, true);
    CAddDlg dialog(77, "Line", nullptr, m_list);
    dialog.show();
    auto* edit = Find<QLineEdit>(&dialog, kAddEdit);
    edit->selectAll();
    Type(edit, QString::fromUtf8("Caf\u00e9 \u201cmine\u201d"));
    Type(edit, QString::fromUtf8("\u0101"));  // not in the code page: refused
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(m_list.Count(), 2);
    EXPECT_EQ(m_list.At(1)->name, "Caf\xE9 \x93mine\x94");
    EXPECT_EQ(m_list.At(1)->position, 77);
    EXPECT_FALSE(m_list.At(1)->generated);
}

TEST_F(NameDialogsTest, AddingTheLastEntryAgainChangesNothingYetEndsWithOk)
{
    m_list.Add("Same", 9, false);
    CAddDlg dialog(9, "Same", nullptr, m_list);
    dialog.show();
    QTest::mouseClick(Find<QPushButton>(&dialog, kOk), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_list.Count(), 1);
}

TEST_F(NameDialogsTest, RenameShowsTheNameSelectedAndRenamesOnlyThatEntry)
{
    m_list.Add("first", 0, true);
    m_list.Add("second", 10, true);
    CRenBookmark dialog(1, nullptr, m_list);
    dialog.show();
    auto* edit = Find<QLineEdit>(&dialog, kRenameEdit);
    auto* ok = Find<QPushButton>(&dialog, kOk);
    EXPECT_EQ(dialog.windowTitle(), "Rename bookmark");
    EXPECT_EQ(edit->selectedText(), "second");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(edit, "Part Two");
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(m_list.At(1)->name, "Part Two");
    EXPECT_EQ(m_list.At(1)->position, 10);
    EXPECT_TRUE(m_list.At(1)->generated);
    EXPECT_EQ(m_list.At(0)->name, "first");
}

TEST_F(NameDialogsTest, RenameCancelledOrEscapedKeepsTheName)
{
    m_list.Add("kept", 0, false);
    CRenBookmark dialog(0, nullptr, m_list);
    dialog.show();
    QTest::keyClicks(Find<QLineEdit>(&dialog, kRenameEdit), "other");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(m_list.At(0)->name, "kept");
}

}  // namespace
