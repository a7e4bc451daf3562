#include "wizard/CProgressDlg.h"

#include "common/Cp1252Text.h"
#include "common/DialogBuilder.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QWindow>

namespace {

constexpr DuRect kTitleRect{7, 7, 136, 8};
constexpr DuRect kLabelRect{7, 17, 136, 8};
constexpr DuRect kBarRect{7, 29, 136, 11};
// A window manager shows a new window within a few frames; one that does not
// within this time is not waited for any longer.
constexpr int kLongestExposeWaitMs = 500;

}  // namespace

CProgressDlg::CProgressDlg(QWidget* owner)
    : m_owner(owner ? owner->window() : nullptr), m_label(new QLabel(this)), m_bar(new QProgressBar(this))
{
    const DialogBuilder builder(this, QString(), 150, 47, DialogFrame::Fixed);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    auto* border = new QFrame(this);
    border->setFrameShape(QFrame::Box);
    border->setGeometry(rect());
    auto* title = new QLabel(QStringLiteral("File conversion in progress..."), this);
    title->setGeometry(builder.Units().Map(kTitleRect));
    builder.Place(m_label, kLabel, kLabelRect, title->text());
    builder.Place(m_bar, kProgressBar, kBarRect, title->text());
    m_bar->setTextVisible(false);
    SetRange(0, 100);
}

CProgressDlg::~CProgressDlg()
{
    Close();
}

void CProgressDlg::SetRange(int lower, int upper)
{
    m_bar->setRange(lower, upper);
}

void CProgressDlg::SetStep(int step)
{
    m_step = step;
}

void CProgressDlg::Open(const CString& label, int lower, int upper, int step)
{
    if (m_owner && m_owner->isEnabled()) {
        m_owner->setEnabled(false);
        m_disabledOwner = true;
    }
    ShowChangingText(m_label, FromCp1252(label));
    SetRange(lower, upper);
    SetStep(step);
    m_bar->setValue(lower);
    if (m_owner)
        move(m_owner->geometry().center() - rect().center());
    show();
    // The work that follows handles no events until the bar first moves,
    // which may be the end of a long step: until then a window the window
    // system has not yet shown would stay an unpainted rectangle.
    WaitUntilExposed();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CProgressDlg::WaitUntilExposed()
{
    QWindow* window = windowHandle();
    if (!window || window->isExposed())
        return;
    QEventLoop waiting;
    m_waiting = &waiting;
    window->installEventFilter(this);
    QTimer::singleShot(kLongestExposeWaitMs, &waiting, &QEventLoop::quit);
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    window->removeEventFilter(this);
    m_waiting = nullptr;
}

bool CProgressDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (m_waiting && watched == windowHandle() && event->type() == QEvent::Expose)
        m_waiting->quit();
    return QDialog::eventFilter(watched, event);
}

void CProgressDlg::StepIt()
{
    // The bar stops at its end rather than starting over, which would tell
    // the user the work had begun again. The events handled next show it.
    m_bar->setValue(std::min(m_bar->value() + m_step, m_bar->maximum()));
    QCoreApplication::processEvents();
}

void CProgressDlg::Close()
{
    if (m_disabledOwner && m_owner)
        m_owner->setEnabled(true);
    m_disabledOwner = false;
    hide();
}

void CProgressDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
