#include "GuiTestSupport.h"

#include "preview/CGoToDlg.h"
#include "preview/CNumEdit.h"
#include "preview/Templates.h"

#include <QClipboard>
#include <QPushButton>
#include <QScrollBar>

namespace {

using namespace GoToTemplate;

class GoToDlgTest : public GuiTest {
protected:
    void Open(int percent)
    {
        m_dialog = std::make_unique<CGoToDlg>(percent);
        m_dialog->show();
        m_edit = Find<CNumEdit>(m_dialog.get(), kEdit);
        m_bar = Find<QScrollBar>(m_dialog.get(), kScrollBar);
    }
    // What the user sees: the edit's text and the thumb's place.
    void ExpectShown(const char* text, int thumb) const
    {
        EXPECT_EQ(m_edit->text(), text);
        EXPECT_EQ(m_bar->value(), thumb);
    }
    void Click(int id) const { QTest::mouseClick(Find<QPushButton>(m_dialog.get(), id), Qt::LeftButton); }

    std::unique_ptr<CGoToDlg> m_dialog;
    CNumEdit* m_edit = nullptr;
    QScrollBar* m_bar = nullptr;
};

TEST_F(GoToDlgTest, StartsAtTheCallersPercentSelectedForTyping)
{
    Open(100);
    EXPECT_EQ(m_dialog->windowTitle(), "GoTo");
    ExpectShown("100", 100);
    EXPECT_EQ(m_edit->selectedText(), "100");
    EXPECT_EQ(m_dialog->focusWidget(), m_edit);
    EXPECT_EQ(Find<QPushButton>(m_dialog.get(), kTopButton)->toolTip(), "Go to the start of the document");
    EXPECT_EQ(Find<QPushButton>(m_dialog.get(), kBottomButton)->toolTip(), "Go to the end of the document");
    EXPECT_EQ(m_bar->toolTip(), "Go to position");
    EXPECT_EQ(m_edit->toolTip(), "Go to position");
}

TEST_F(GoToDlgTest, TypingAndTheScrollBarMoveOneValue)
{
    Open(42);
    QTest::keyClick(m_edit, Qt::Key_7);
    ExpectShown("7", 7);
    m_bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // the right arrow
    ExpectShown("8", 8);
    m_bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    m_bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    ExpectShown("6", 6);
    m_bar->triggerAction(QAbstractSlider::SliderPageStepSub);  // a click left of the thumb
    m_bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    ExpectShown("0", 0);
    m_edit->selectAll();
    QTest::keyClicks(m_edit, "98");
    m_bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    ExpectShown("100", 100);
    m_bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ExpectShown("100", 100);
    m_bar->setSliderDown(true);
    m_bar->setSliderPosition(33);  // dragging the thumb
    ExpectShown("33", 33);
    m_bar->setSliderDown(false);
    m_bar->triggerAction(QAbstractSlider::SliderToMinimum);  // Home on the bar: not a change of value
    ExpectShown("33", 33);
}

TEST_F(GoToDlgTest, OnlyDigitsAreTypedAndTwoAtMost)
{
    Open(0);
    m_edit->selectAll();
    QTest::keyClicks(m_edit, "a1-b2.c3");
    ExpectShown("12", 12);
    QTest::keyClick(m_edit, Qt::Key_Backspace);
    ExpectShown("1", 1);
    QTest::keyClick(m_edit, Qt::Key_Backspace);
    ExpectShown("", 0);
    m_bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ExpectShown("1", 1);
}

TEST_F(GoToDlgTest, ClipboardShortcutsAreDroppedButTheMenusPasteIsNot)
{
    Open(55);
    QApplication::clipboard()->setText("x9");
    m_edit->selectAll();
    QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
    ExpectShown("55", 55);
    m_edit->paste();  // what the context menu's Paste does
    ExpectShown("x9", 0);
    QApplication::clipboard()->setText("123");
    m_edit->selectAll();
    m_edit->paste();  // longer than the field takes
    ExpectShown("x9", 0);
}

TEST_F(GoToDlgTest, OkReturnsTheValueAndCancelKeepsTheOldOne)
{
    Open(25);
    Click(kBottomButton);
    ExpectShown("100", 100);
    Click(kTopButton);
    ExpectShown("0", 0);
    Click(kBottomButton);
    Click(kOk);
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog->Percent(), 100);

    Open(25);
    QTest::keyClicks(m_edit, "60");
    Click(kCancel);
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_EQ(m_dialog->Percent(), 25);

    Open(25);
    QTest::keyClicks(m_edit, "60");
    QTest::keyClick(m_edit, Qt::Key_Return);
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog->Percent(), 60);
}

}  // namespace
