#include "preview/CPreviewDlg.h"

#include "app/Help.h"
#include "common/Cp1252Text.h"
#include "common/DialogBuilder.h"
#include "common/WindowPlacement.h"
#include "preview/CAddDlg.h"
#include "preview/CExploreDlg.h"
#include "preview/CGoToDlg.h"
#include "preview/CRichEditEx.h"
#include "preview/PreviewLayout.h"
#include "preview/Templates.h"

#include <core/BookmarkEditing.h>
#include <core/PreviewPercent.h>
#include <platform/Files.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

#include <cstring>

using namespace PreviewTemplate;

namespace {

// The text as the preview shows it: its lines, decoded one character per
// byte, each line break as one LF.
QString DisplayText(std::string_view bytes, const folivo::TextLines& lines)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (int i = 0; i < lines.Count(); ++i) {
        if (i > 0)
            text += u'\n';
        text += FromCp1252(
            bytes.substr(static_cast<std::size_t>(lines.Start(i)), static_cast<std::size_t>(lines.Length(i))));
    }
    return text;
}

}  // namespace

CPreviewDlg::CPreviewDlg(const CString& filePath, QWidget* parent, BookmarkList& list, DocumentFormat format)
    : CPreviewDlg(parent, list, format)
{
    LoadText(filePath);
    RefreshBookmarkCombo();
}

CPreviewDlg::CPreviewDlg(std::string_view text, BookmarkList& list, DocumentFormat format, QWidget* parent)
    : CPreviewDlg(parent, list, format)
{
    ShowText(text);
    RefreshBookmarkCombo();
}

CPreviewDlg::CPreviewDlg(QWidget* parent, BookmarkList& list, DocumentFormat format)
    : QDialog(parent), m_list(list), m_format(format), m_combo(new QComboBox(this)), m_text(new CRichEditEx(this))
{
    const DialogBuilder builder(this, QStringLiteral("Document preview"), kWidth, kHeight, DialogFrame::Resizable);
    builder.Place(m_combo, kBookmarkCombo, kComboRect);
    m_combo->resize(m_combo->width(), m_combo->sizeHint().height());
    builder.AddLabel(QStringLiteral("Bookmarks:"), kLabelRect, m_combo);
    m_addButton = builder.AddButton(kAddButton, QStringLiteral("&Add bookmark..."), kAddRect);
    m_exploreButton = builder.AddButton(kExploreButton, QStringLiteral("&Explore bookmarks..."), kExploreRect);
    builder.Place(m_text, kText, kTextRect, QStringLiteral("Document text"));
    m_percentButton = builder.AddButton(kPercentButton, QStringLiteral("0&%"), kPercentRect);
    m_closeButton = builder.AddButton(kCloseButton, QStringLiteral("&Close"), kCloseRect);

    m_combo->setToolTip(QStringLiteral("Document bookmarks list"));
    m_addButton->setToolTip(QStringLiteral("Add a new bookmark manually"));
    m_exploreButton->setToolTip(QStringLiteral("Explore document bookmarks"));
    m_percentButton->setToolTip(QStringLiteral("Go to specific document position"));

    // Made after the template's controls, which come first among the children.
    m_notice = new QLabel(this);
    m_notice->setObjectName(QString::number(kNotice));
    m_notice->hide();
    RestoreWindowPlacement(this, folivo::PlacementWindow::Preview);

    connect(m_combo, &QComboBox::activated, this, &CPreviewDlg::GoToBookmark);
    connect(m_addButton, &QPushButton::clicked, this, &CPreviewDlg::AddBookmark);
    connect(m_exploreButton, &QPushButton::clicked, this, &CPreviewDlg::ExploreBookmarks);
    connect(m_percentButton, &QPushButton::clicked, this, &CPreviewDlg::GoToPercent);
    connect(m_closeButton, &QPushButton::clicked, this, &CPreviewDlg::SaveAndClose);
    connect(m_text, &CRichEditEx::UserScrolled, this, &CPreviewDlg::UpdatePercent);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            [] { OpenHelpTopic(QString::fromLatin1(kHelpTopicPreview)); });
}

void CPreviewDlg::LoadText(const CString& filePath)
{
    std::string bytes;
    if (filePath.empty() || platform::ReadWholeFile(filePath, bytes))
        return;
    ShowText(bytes);
}

void CPreviewDlg::ShowText(std::string_view bytes)
{
    // The text ends at its first NUL, as the line routines read it.
    const std::string_view text(bytes.data(), ::strnlen(bytes.data(), bytes.size()));
    m_lines = folivo::TextLines(text);
    m_textLength = static_cast<std::int32_t>(text.size());
    const QString shown = DisplayText(text, m_lines);
    if (!shown.isEmpty()) {
        m_text->setPlainText(shown);
        m_text->setFocus();
    }
}

void CPreviewDlg::ShowPercent(int percent)
{
    ShowChangingText(m_percentButton, QString::number(percent) + u'%');
}

void CPreviewDlg::UpdatePercent(int firstLine)
{
    ShowPercent(folivo::LinePercent(firstLine, m_text->LineCount()));
}

void CPreviewDlg::GoToBookmark(int index)
{
    const Bookmark* entry = m_list.At(index);
    if (!entry)
        return;
    m_text->ScrollToLine(m_lines.LineOf(entry->position));
    ShowPercent(folivo::JumpPercent(m_text->FirstVisibleLine(), m_text->LineCount()));
}

void CPreviewDlg::RefreshBookmarkCombo()
{
    const int remembered = m_combo->currentIndex();
    folivo::RemoveLineBreaksFromNames(m_list);
    m_combo->clear();
    for (int i = 0; i < m_list.Count(); ++i)
        m_combo->addItem(FromCp1252(m_list.At(i)->name));
    m_combo->setCurrentIndex(remembered >= 0 && remembered < m_combo->count() ? remembered : 0);
}

void CPreviewDlg::AddBookmark()
{
    const folivo::BookmarkProposal proposal = folivo::ProposeBookmark(m_lines, m_text->FirstVisibleLine());
    CAddDlg dialog(proposal.position, folivo::ProposedName(ToCp1252(m_text->LineText(proposal.line))), this, m_list,
                   m_format);
    dialog.exec();
    RefreshBookmarkCombo();
}

void CPreviewDlg::ExploreBookmarks()
{
    CExploreDlg dialog(m_textLength, this, m_list, m_format);
    dialog.exec();
    if (dialog.SelectedIndex() != -1)
        GoToBookmark(dialog.SelectedIndex());
    RefreshBookmarkCombo();
}

void CPreviewDlg::GoToPercent()
{
    const int lineCount = m_text->LineCount();
    CGoToDlg dialog(folivo::LinePercent(m_text->FirstVisibleLine(), lineCount), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_text->ScrollToLine(folivo::PercentLine(dialog.Percent(), lineCount));
    ShowPercent(dialog.Percent());
}

void CPreviewDlg::SetNotice(const QString& notice, const QString& details)
{
    m_noticeText = notice;
    m_notice->setAccessibleName(notice);
    m_notice->setToolTip(details.isEmpty() ? notice : details);
    m_notice->setVisible(!notice.isEmpty());
    resizeEvent(nullptr);
}

void CPreviewDlg::SaveAndClose()
{
    if (!MayClose())
        return;
    SaveWindowPlacement(this, folivo::PlacementWindow::Preview);
    done(0);
}

void CPreviewDlg::reject()
{
    if (MayClose())
        QDialog::reject();
}

void CPreviewDlg::resizeEvent(QResizeEvent* event)
{
    if (event)
        QDialog::resizeEvent(event);
    const PreviewGeometry geometry = LayoutPreview(DialogUnits(font()), size(), !m_notice->isHidden());
    m_notice->setGeometry(geometry.notice);
    // One line, however narrow the window: the tooltip has it all.
    m_notice->setText(m_notice->fontMetrics().elidedText(m_noticeText, Qt::ElideRight, geometry.notice.width()));
    m_combo->setGeometry(geometry.combo.x(), geometry.combo.y(), geometry.combo.width(), m_combo->height());
    m_addButton->setGeometry(geometry.addButton);
    m_exploreButton->setGeometry(geometry.exploreButton);
    m_text->setGeometry(geometry.text);
    m_percentButton->setGeometry(geometry.percentButton);
    m_closeButton->setGeometry(geometry.closeButton);
}
