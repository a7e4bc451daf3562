#include "GuiTestSupport.h"

#include "wizard/CProgressDlg.h"

#include <core/ConversionJob.h>

#include <QLabel>
#include <QProgressBar>
#include <QWindow>

#include <vector>

namespace {

// Passes the job's progress on to the window, noting at every step whether
// the owner could be used and how far the bar stood.
class WatchedProgress : public folivo::ProgressSink {
public:
    WatchedProgress(CProgressDlg& window, const QWidget& owner) : m_window(window), m_owner(owner) {}

    void Open(const CString& label, int lower, int upper, int step) override
    {
        m_window.Open(label, lower, upper, step);
        ++opened;
    }
    void StepIt() override
    {
        m_window.StepIt();
        ownerEnabledWhileUp = ownerEnabledWhileUp || m_owner.isEnabled();
        shownWhileUp = shownWhileUp && m_window.isVisible();
    }
    void Close() override { m_window.Close(); }

    int opened = 0;
    bool ownerEnabledWhileUp = false;
    bool shownWhileUp = true;

private:
    CProgressDlg& m_window;
    const QWidget& m_owner;
};

// The values `control` showed each time it was painted: its text for a label,
// its position for a bar.
class PaintedValues : public QObject {
public:
    explicit PaintedValues(QWidget* control) : m_control(control) { control->installEventFilter(this); }
    std::vector<QString> painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            auto* bar = qobject_cast<QProgressBar*>(m_control);
            painted.push_back(bar ? QString::number(bar->value()) : static_cast<QLabel*>(m_control)->text());
        }
        return false;
    }

private:
    QWidget* m_control;
};

class ProgressDlgTest : public GuiTest {
protected:
    ProgressDlgTest() { m_owner.show(); }

    QWidget m_owner;
    ScratchFolder m_folder;
};

TEST_F(ProgressDlgTest, ShowsTheLabelStepsTheBarAndHandlesPendingEvents)
{
    CProgressDlg window(&m_owner);
    window.Open("Caf\xE9.txt", 0, 3, 2);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(m_owner.isEnabled());
    EXPECT_EQ(Find<QLabel>(&window, CProgressDlg::kLabel)->text(), QString::fromUtf8("Caf\u00e9.txt"));
    auto* bar = Find<QProgressBar>(&window, CProgressDlg::kProgressBar);
    EXPECT_EQ(bar->value(), 0);

    bool handled = false;
    QMetaObject::invokeMethod(
        qApp, [&handled] { handled = true; }, Qt::QueuedConnection);
    window.StepIt();
    EXPECT_TRUE(handled);
    EXPECT_EQ(bar->value(), 2);
    window.StepIt();
    EXPECT_EQ(bar->value(), 3);  // the bar stops at its end

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    window.close();
    EXPECT_TRUE(window.isVisible());

    window.Close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(m_owner.isEnabled());
}

// The job handles no events between the bar's steps: the window is on the
// screen with its label and bar before Open returns, and each step shows.
TEST_F(ProgressDlgTest, TheWindowIsPaintedBeforeTheWorkGoesOnAndAsTheBarMoves)
{
    CProgressDlg window(&m_owner);
    PaintedValues label(Find<QLabel>(&window, CProgressDlg::kLabel));
    PaintedValues bar(Find<QProgressBar>(&window, CProgressDlg::kProgressBar));
    for (const char* name : {"first.txt", "second.txt"}) {
        label.painted.clear();
        window.Open(name, 0, 2, 1);
        ASSERT_NE(window.windowHandle(), nullptr);
        EXPECT_TRUE(window.windowHandle()->isExposed());
        ASSERT_FALSE(label.painted.empty()) << name;
        EXPECT_EQ(label.painted.back(), name);
        ASSERT_FALSE(bar.painted.empty());
        EXPECT_EQ(bar.painted.back(), "0");
        window.StepIt();
        EXPECT_EQ(bar.painted.back(), "1");
        window.Close();
    }
}

TEST_F(ProgressDlgTest, AnOwnerDisabledBeforehandStaysDisabled)
{
    m_owner.setEnabled(false);
    {
        CProgressDlg window(&m_owner);
        window.Open("a", 0, 1, 1);
        window.Close();
    }
    EXPECT_FALSE(m_owner.isEnabled());
}

TEST_F(ProgressDlgTest, TheOwnerComesBackWhenTheWindowGoesWithoutClosing)
{
    {
        CProgressDlg window(&m_owner);
        window.Open("a", 0, 1, 1);
    }
    EXPECT_TRUE(m_owner.isEnabled());
}

TEST_F(ProgressDlgTest, AConversionDisablesTheOwnerWhileItRunsAndEnablesItAfterwards)
{
    const std::string source = m_folder / "book.txt";
    WriteBytes(source, std::string(5000, 'x'));
    CProgressDlg window(&m_owner);
    WatchedProgress progress(window, m_owner);
    BookmarkList list;
    folivo::ConversionJob job(list);
    job.sourceFileName = "book.txt";
    job.SetProgress(&progress);

    EXPECT_EQ(job.RunConversion(source, m_folder / "book.pdb", "Book", DocumentFormat::PalmDoc, 4, 1),
              folivo::kConversionDone);
    EXPECT_EQ(progress.opened, 2);
    EXPECT_FALSE(progress.ownerEnabledWhileUp);
    EXPECT_TRUE(progress.shownWhileUp);
    EXPECT_TRUE(m_owner.isEnabled());
    EXPECT_FALSE(window.isVisible());

    // The writer fails: no folder for the database.
    job.RunConversion(source, m_folder / "missing/book.pdb", "Book", DocumentFormat::PalmDoc, 4, 1);
    EXPECT_EQ(progress.opened, 4);
    EXPECT_FALSE(job.LastReport().databaseWritten);
    EXPECT_TRUE(m_owner.isEnabled());
    EXPECT_FALSE(window.isVisible());
    job.DeleteTextFile();
}

}  // namespace
