#include "GuiTestSupport.h"

#include "preview/CExploreDlg.h"
#include "preview/CRenBookmark.h"
#include "preview/Templates.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

using namespace ExploreTemplate;

class ExploreDlgTest : public GuiTest {
protected:
    void Open(std::int32_t textLength)
    {
        m_dialog = std::make_unique<CExploreDlg>(textLength, nullptr, m_list);
        m_dialog->show();
        m_view = Find<QTreeWidget>(m_dialog.get(), kList);
    }
    // The rows as the user reads them: "name percent".
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < m_view->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = m_view->topLevelItem(i);
            rows.push_back((row->text(0) + u' ' + row->text(1)).toStdString());
        }
        return rows;
    }
    QPushButton* Button(int id) const { return Find<QPushButton>(m_dialog.get(), id); }
    void ChooseOrder(int row) const
    {
        auto* order = Find<QComboBox>(m_dialog.get(), kOrderCombo);
        order->setFocus();
        while (order->currentIndex() < row)
            QTest::keyClick(order, Qt::Key_Down);
        while (order->currentIndex() > row)
            QTest::keyClick(order, Qt::Key_Up);
    }
    // Which of Go To, Rename and Delete can be pressed.
    std::vector<bool> SelectionButtons() const
    {
        return {Button(kGoToButton)->isEnabled(), Button(kRenameButton)->isEnabled(),
                Button(kDeleteButton)->isEnabled()};
    }

    BookmarkList m_list;
    std::unique_ptr<CExploreDlg> m_dialog;
    QTreeWidget* m_view = nullptr;
};

TEST_F(ExploreDlgTest, ListsEveryBookmarkWithItsPlaceInTheText)
{
    m_list.Add("Start", 0, true);
    m_list.Add("Middle", 500, false);
    m_list.Add("End", 1000, true);
    m_list.Add("Stale", 4000, false);  // kept from a longer document
    Open(1000);
    EXPECT_EQ(m_dialog->windowTitle(), "Explore bookmarks");
    EXPECT_EQ(m_view->headerItem()->text(0), "Bookmark");
    EXPECT_EQ(m_view->headerItem()->text(1), "Position");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Start 0%", "Middle 50%", "End 100%", "Stale 100%"}));
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(Button(kDeleteAllButton)->isEnabled());
    auto* order = Find<QComboBox>(m_dialog.get(), kOrderCombo);
    EXPECT_EQ(order->currentText(), "Creation Order");
    EXPECT_EQ(order->count(), 3);

    Open(0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Start 0%", "Middle 0%", "End 0%", "Stale 0%"}));
}

TEST_F(ExploreDlgTest, OrdersSortByEachBookmarksOwnKeys)
{
    m_list.Add("b", 100, false);   // 10%
    m_list.Add("a", 90, false);    // 9%
    m_list.Add("c", 95, false);    // 9%, after a in the text
    m_list.Add("a", 1000, false);  // same name as row 1
    Open(1000);
    ChooseOrder(1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a 9%", "a 100%", "b 10%", "c 9%"}));
    ChooseOrder(2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a 9%", "c 9%", "b 10%", "a 100%"}));
    ChooseOrder(0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b 10%", "a 9%", "c 9%", "a 100%"}));
}

TEST_F(ExploreDlgTest, ButtonsFollowMouseClicksButNotTheKeyboard)
{
    for (const char* name : {"one", "two", "three"})
        m_list.Add(name, 0, false);
    Open(10);
    ClickRow(m_view, 1);
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{true, true, true}));
    ClickRow(m_view, 2, Qt::ControlModifier);
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{false, false, true}));
    ClickRow(m_view, 2, Qt::ControlModifier);
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{true, true, true}));
    QTest::keyClick(m_view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(m_view->selectedItems().size(), 3);
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{true, true, true}));
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, QPoint(5, m_view->viewport()->height() - 3));
    EXPECT_TRUE(m_view->selectedItems().empty());
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{false, false, false}));
}

TEST_F(ExploreDlgTest, DeleteRemovesExactlyTheSelectedBookmarksAfterAsking)
{
    for (const char* name : {"e0", "e1", "e2", "e3", "e4"})
        m_list.Add(name, 0, false);
    Open(10);
    ChooseOrder(1);
    ClickRow(m_view, 1);
    ClickRow(m_view, 3, Qt::ControlModifier);
    {
        MessageBoxAnswers no(QMessageBox::No);
        QTest::mouseClick(Button(kDeleteButton), Qt::LeftButton);
        ASSERT_EQ(no.Asked().size(), 1u);
        EXPECT_EQ(no.Asked()[0].text, "Are you sure you want to delete selected bookmark(s)?");
        EXPECT_EQ(no.Asked()[0].caption, "Question");
        EXPECT_EQ(no.Asked()[0].buttons, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(no.Asked()[0].icon, QMessageBox::Question);
    }
    EXPECT_EQ(m_list.Count(), 5);
    EXPECT_EQ(m_view->selectedItems().size(), 2);
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{false, false, false}));

    MessageBoxAnswers yes(QMessageBox::Yes);
    ClickRow(m_view, 3);
    ClickRow(m_view, 1, Qt::ControlModifier);
    QTest::mouseClick(Button(kDeleteButton), Qt::LeftButton);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"e0 0%", "e2 0%", "e4 0%"}));
    EXPECT_EQ(m_list.Count(), 3);
    EXPECT_EQ(Find<QComboBox>(m_dialog.get(), kOrderCombo)->currentIndex(), 1);
}

TEST_F(ExploreDlgTest, DeleteAllAsksAndClearsManualAndGeneratedBookmarks)
{
    m_list.Add("generated", 0, true);
    m_list.Add("manual", 5, false);
    Open(10);
    {
        MessageBoxAnswers no(QMessageBox::No);
        QTest::mouseClick(Button(kDeleteAllButton), Qt::LeftButton);
        EXPECT_EQ(no.Asked().at(0).text, "Are you sure you want to delete all bookmarks?");
    }
    EXPECT_EQ(Rows().size(), 2u);
    MessageBoxAnswers yes(QMessageBox::Yes);
    ClickRow(m_view, 0);
    QTest::mouseClick(Button(kDeleteAllButton), Qt::LeftButton);
    EXPECT_TRUE(m_list.IsEmpty());
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{false, false, false}));
    QTest::mouseClick(Button(kDeleteAllButton), Qt::LeftButton);
    EXPECT_EQ(yes.Asked().size(), 2u);  // an empty list still asks
}

TEST_F(ExploreDlgTest, RenameInASortedViewRenamesTheBookmarkOfThatRowAndKeepsTheOrder)
{
    m_list.Add("zeta", 0, true);
    m_list.Add("alpha", 10, true);
    Open(100);
    ChooseOrder(1);
    ClickRow(m_view, 0);
    WhenModal<CRenBookmark>([](CRenBookmark* rename) {
        auto* edit = Find<QLineEdit>(rename, NameTemplate::kRenameEdit);
        EXPECT_EQ(edit->text(), "alpha");
        QTest::keyClicks(edit, "omega");
        rename->accept();
    });
    QTest::mouseClick(Button(kRenameButton), Qt::LeftButton);
    EXPECT_EQ(m_list.At(1)->name, "omega");
    EXPECT_EQ(m_list.At(0)->name, "zeta");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"omega 10%", "zeta 0%"}));
    EXPECT_EQ(SelectionButtons(), (std::vector<bool>{false, false, false}));
}

TEST_F(ExploreDlgTest, GoToGivesTheListIndexAndClosingGivesNone)
{
    m_list.Add("zeta", 0, true);
    m_list.Add("beta", 10, true);
    m_list.Add("alpha", 20, true);
    Open(100);
    ChooseOrder(1);
    ClickRow(m_view, 1);
    QTest::mouseClick(Button(kGoToButton), Qt::LeftButton);
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog->SelectedIndex(), 1);

    Open(100);
    ClickRow(m_view, 2);
    QTest::mouseClick(Button(kCloseButton), Qt::LeftButton);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->SelectedIndex(), -1);

    Open(100);
    ClickRow(m_view, 2);
    QTest::keyClick(m_view, Qt::Key_Escape);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->SelectedIndex(), -1);
}

}  // namespace
