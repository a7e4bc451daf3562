#include "wizard/CWizardDlg.h"

#include "app/Help.h"
#include "common/DialogBuilder.h"
#include "common/FilePaths.h"
#include "common/MessageBox.h"
#include "preview/CPreviewDlg.h"
#include "wizard/CPage1.h"
#include "wizard/CPage2.h"
#include "wizard/CPage3.h"
#include "wizard/CPage4.h"
#include "wizard/CProgressDlg.h"
#include "wizard/Templates.h"

#include <core/ConversionNotes.h>
#include <core/ConversionSettings.h>

#include <QFrame>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QStackedWidget>

#include <algorithm>
#include <array>

using namespace WizardTemplate;

namespace {

const QString kCaption = QStringLiteral("Folivo conversion wizard");

QPushButton* AddSheetButton(const DialogBuilder& builder, int id, const QString& text, int x, int y)
{
    return builder.AddButton(id, text, {x, y, kButtonWidth, kButtonHeight});
}

// The first control of `page` that takes the focus with Tab.
QWidget* FirstTabStop(QWidget* page)
{
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled())
            return w;
    }
    return nullptr;
}

}  // namespace

CWizardDlg::CWizardDlg(QWidget* parent, BookmarkList& bookmarks)
    : QDialog(parent), m_job(bookmarks), sourcePath(m_job.sourcePath), sourceFileName(m_job.sourceFileName),
      title(m_job.title), proposedOutputPath(m_job.proposedOutputPath), m_bookmarks(bookmarks),
      m_stack(new QStackedWidget(this))
{
    const DialogBuilder builder(this, kCaption, kPageWidth + kSheetExtraWidth, kPageHeight + kSheetExtraHeight,
                                DialogFrame::FixedWithWindowMenu);
    m_stack->setGeometry(builder.Units().Map({0, 0, kPageWidth, kPageHeight}));
    m_page1 = new CPage1(*this);
    m_page2 = new CPage2(*this);
    m_page3 = new CPage3(*this);
    m_page4 = new CPage4(*this);
    for (WizardPage* page : std::array<WizardPage*, 4>{m_page1, m_page2, m_page3, m_page4})
        m_stack->addWidget(page);

    // The sheet's buttons at their usual places: Back and Next side by side,
    // Finish in Next's place, then Cancel and Help, along the right edge.
    const int sheetWidth = kPageWidth + kSheetExtraWidth;
    const int y = kPageHeight + kButtonTop;
    const int helpX = sheetWidth - kMargin - kButtonWidth;
    const int cancelX = helpX - kMargin - kButtonWidth;
    const int nextX = cancelX - kMargin - kButtonWidth;
    m_back = AddSheetButton(builder, kBackButton, QStringLiteral("< &Back"), nextX - kButtonWidth, y);
    m_next = AddSheetButton(builder, kNextButton, QStringLiteral("&Next >"), nextX, y);
    m_finish = AddSheetButton(builder, kFinishButton, QStringLiteral("Finish"), nextX, y);
    m_cancel = AddSheetButton(builder, kCancelButton, QStringLiteral("Cancel"), cancelX, y);
    m_help = AddSheetButton(builder, kHelpButton, QStringLiteral("&Help"), helpX, y);
    m_divider = new QFrame(this);
    m_divider->setFrameShape(QFrame::HLine);
    m_divider->setFrameShadow(QFrame::Sunken);
    builder.Place(m_divider, kDivider, {kMargin, kPageHeight + kDividerTop, sheetWidth - 2 * kMargin, 1},
                  QStringLiteral("Divider"));
    m_divider->resize(m_divider->width(), 2);
    PlaceButtons();

    m_job.SetPages(this);
    connect(m_back, &QPushButton::clicked, this, [this] { SetActivePage(m_stack->currentIndex() - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] {
        if (ActivePage()->OnWizardNext())
            SetActivePage(m_stack->currentIndex() + 1);
    });
    connect(m_finish, &QPushButton::clicked, this, &CWizardDlg::Finish);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_help, &QPushButton::clicked, this, [this] { OpenHelpTopic(ActivePage()->HelpTopic()); });
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            [this] { ActivePage()->OnHelpRequest(); });
}

void CWizardDlg::PlaceButtons()
{
    // The sheet's compact look: the buttons and the divider move into the
    // room the sheet leaves right and below the pages, and the sheet shrinks
    // by that room.
    for (QPushButton* button : {m_next, m_back, m_cancel, m_finish, m_help})
        button->move(button->pos() - QPoint(kCompactLeft, kCompactUp));
    m_divider->setGeometry(m_divider->x(), m_divider->y() - kCompactUp, m_divider->width() - kCompactLeft,
                           m_divider->height());
    setFixedSize(size() - QSize(kCompactWidth, kCompactHeight));
}

void CWizardDlg::SetDocument(const CString& path)
{
    const ConversionSettings settings = folivo::SettingsForSource(path);
    sourcePath = settings.sourcePath;
    sourceFileName = settings.sourceFileName;
    title = settings.title;
}

void CWizardDlg::ResetPageFlags()
{
    m_page1->pageShown = false;
    m_page2->pageShown = false;
    m_page3->pageShown = false;
    m_page4->pageShown = false;
}

void CWizardDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    for (int i = 0; i < m_stack->count(); ++i)
        static_cast<WizardPage*>(m_stack->widget(i))->BeginRun();
    SetActivePage(0);
}

WizardPage* CWizardDlg::ActivePage() const
{
    return static_cast<WizardPage*>(m_stack->currentWidget());
}

void CWizardDlg::SetActivePage(int index)
{
    if (index < 0 || index >= m_stack->count())
        return;
    m_stack->setCurrentIndex(index);
    setWindowTitle(ActivePage()->Caption());
    ActivePage()->OnSetActive();
    if (QWidget* first = FirstTabStop(ActivePage()))
        first->setFocus();
}

void CWizardDlg::SetWizardButtons(int buttons)
{
    m_back->setEnabled(buttons & kBack);
    const bool finish = buttons & kFinish;
    m_next->setVisible(!finish);
    m_next->setEnabled(buttons & kNext);
    m_finish->setVisible(finish);
    (finish ? m_finish : m_next)->setDefault(true);
}

void CWizardDlg::Finish()
{
    if (m_page4->OnWizardFinish())
        accept();
}

template <class Run>
auto CWizardDlg::WithProgress(Run run)
{
    CProgressDlg progress(isVisible() ? this : parentWidget());
    m_job.SetProgress(&progress);
    const auto result = run();
    m_job.SetProgress(nullptr);
    return result;
}

int CWizardDlg::RunConversion(const CString& source, const CString& outputPath, const CString& runTitle,
                              DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress)
{
    return WithProgress(
        [&] { return m_job.RunConversion(source, outputPath, runTitle, format, blockSizeKB, compress); });
}

int CWizardDlg::ConvertFromPages(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress)
{
    return WithProgress([&] { return m_job.ConvertFromPages(format, blockSizeKB, compress); });
}

folivo::Error CWizardDlg::MeasureDatabaseSize(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress,
                                              long long& size)
{
    return WithProgress([&] { return m_job.MeasureDatabaseSize(format, blockSizeKB, compress, size); });
}

void CWizardDlg::TellProblem(const QString& what, const std::string& why)
{
    ShowMessageBox(this, what + Reason(why) + u'.', kCaption, QMessageBox::Ok, QMessageBox::Warning);
}

bool CWizardDlg::PatternAccepted()
{
    const QString problem = Reason(m_job.NextPatternProblem());
    if (problem.isEmpty())
        return true;
    if (ActivePage() != m_page3)
        SetActivePage(m_stack->indexOf(m_page3));
    ShowMessageBox(this,
                   QStringLiteral("The bookmark expression is invalid: ") + problem +
                       QStringLiteral(".\n\nCorrect it, or empty it for a book without generated bookmarks."),
                   kCaption, QMessageBox::Ok, QMessageBox::Warning);
    m_page3->SelectPattern();
    return false;
}

void CWizardDlg::Preview()
{
    if (!PatternAccepted())
        return;
    ConvertFromPages(DocumentFormat::PrepareOnly, 0, 0);
    if (const folivo::ConversionReport& report = m_job.LastReport(); report.result != folivo::kConversionDone) {
        TellProblem(QStringLiteral("The document could not be prepared: "), report.problem);
        return;
    }
    CPreviewDlg preview(m_job.textFilePath, this, m_bookmarks, m_page1->Format());
    preview.exec();
}

bool CWizardDlg::FinishConversion(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress)
{
    ConvertFromPages(format, blockSizeKB, compress);
    const folivo::ConversionReport& report = m_job.LastReport();
    if (const folivo::Error problem = folivo::DatabaseProblem(report)) {
        TellProblem(QStringLiteral("The database could not be written: "), problem.Message());
        return false;
    }
    if (report.installRequested && !report.install.Ok())
        TellProblem(QStringLiteral("The database was written, but it could not be queued for the hand-held: "),
                    palm::Message(report.install));
    QString notes;
    for (const folivo::ConversionNote& note : folivo::ConversionNotes(report))
        notes += u'\n' + FromPath(note.text);
    if (!notes.isEmpty())
        ShowMessageBox(this, QStringLiteral("The database was written, but:") + notes, kCaption, QMessageBox::Ok,
                       QMessageBox::Warning);
    return true;
}

bool CWizardDlg::TextPageShown() const
{
    return m_page2->pageShown;
}

folivo::TextPageState CWizardDlg::TextPage() const
{
    return m_page2->State();
}

bool CWizardDlg::BookmarkPageShown() const
{
    return m_page3->pageShown;
}

CString CWizardDlg::BookmarkPatternText() const
{
    return m_page3->PatternText();
}

bool CWizardDlg::ContentsBookmarksChecked() const
{
    return m_page3->ContentsChecked();
}

bool CWizardDlg::DocumentPageExists() const
{
    // Page 1's window lives from its first showing until the sheet closes.
    return isVisible() && m_page1->pageShown;
}

bool CWizardDlg::AutoInstallChecked() const
{
    return m_page1->AutoInstallChecked();
}

CString CWizardDlg::InstallUserText() const
{
    return m_page1->InstallUserText();
}

CString CWizardDlg::OutputPathText() const
{
    return m_page1->OutputPathText();
}

CString CWizardDlg::TitleText() const
{
    return m_page1->TitleText();
}
