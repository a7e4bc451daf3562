#include "wizard/CPage3.h"

#include "app/Help.h"
#include "common/Cp1252Text.h"
#include "common/DialogBuilder.h"
#include "wizard/CWizardDlg.h"
#include "wizard/Templates.h"

#include <core/SettingsGroups.h>
#include <core/SettingsValues.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

using namespace Page3Template;

namespace {

// Stored text in UTF-8 shows as such; anything else is the program's 8-bit
// code page, as older defaults are.
QString Decode(const CString& bytes)
{
    const QString text = QString::fromStdString(bytes);
    return text.toStdString() == bytes ? text : FromCp1252(bytes);
}

}  // namespace

CPage3::CPage3(CWizardDlg& sheet)
    : WizardPage(sheet, 109, QStringLiteral("Folivo convertion wizard - step 3 of 4 | Bookmarks")),
      m_edit(new QPlainTextEdit)
{
    const DialogBuilder builder(this, WizardTemplate::kPageWidth, WizardTemplate::kPageHeight);
    QGroupBox* group = builder.AddGroupBox(QStringLiteral("Bookmarks"), kGroupRect);
    builder.Place(m_edit, kPatternEdit, kPatternRect, {}, group);
    builder.AddLabel(QStringLiteral("Enter the regular expressions list below:"), kLabelRect, m_edit);
    // Enter starts a new line; Tab moves on, as in the other edits.
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setTabChangesFocus(true);
    m_contents = builder.AddCheckBox(kContentsBookmarks, QStringLiteral("Bookmarks from the book's &contents"),
                                     kContentsRect, group);
    AddPreviewAndSaveBox(builder, kPreviewButton, kSaveDefaults);
    connect(m_edit, &QPlainTextEdit::textChanged, this, &CPage3::KeepStorable);
    connect(m_edit, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { m_storableCursor = m_edit->textCursor().position(); });
}

void CPage3::OnSetActive()
{
    Sheet().SetWizardButtons(CWizardDlg::kBack | CWizardDlg::kNext);
    if (pageShown)
        return;
    // Nothing stored, or a text too long to read back, starts empty.
    CString stored;
    folivo::LoadBookmarkPatterns(stored);
    ShowPattern(stored);
    m_contents->setChecked(folivo::ReadContentsBookmarks());
    pageShown = true;
}

bool CPage3::OnWizardNext()
{
    return Sheet().PatternAccepted();
}

void CPage3::SelectPattern()
{
    m_edit->selectAll();
    m_edit->setFocus();
}

void CPage3::ShowPattern(const CString& bytes)
{
    QString text = Decode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    {
        const QSignalBlocker quiet(m_edit);
        m_edit->setPlainText(text);
    }
    m_shownBytes = bytes;
    m_shownText = m_edit->document()->toRawText();
    m_storable = m_shownText;
}

CString CPage3::PatternText() const
{
    QString text = m_edit->document()->toRawText();
    if (text == m_shownText)
        return m_shownBytes;
    // The edit holds its lines as paragraphs (and Shift+Enter's breaks as line
    // separators); both stand for the CR LF of a line break.
    for (QChar separator : {QChar(QChar::ParagraphSeparator), QChar(QChar::LineSeparator)})
        text.replace(separator, QStringLiteral("\r\n"));
    return text.toStdString();
}

void CPage3::KeepStorable()
{
    // The store reads back texts shorter than its buffer only: a longer one
    // saved as the default would come back empty.
    if (PatternText().size() < folivo::kBookmarksBufferSize) {
        m_storable = m_edit->document()->toRawText();
        return;
    }
    const QSignalBlocker quiet(m_edit);
    QString storable = m_storable;
    storable.replace(QChar(QChar::ParagraphSeparator), u'\n');
    m_edit->setPlainText(storable);
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(std::min(m_storableCursor, static_cast<int>(storable.size())));
    m_edit->setTextCursor(cursor);
}

bool CPage3::ContentsChecked() const
{
    return m_contents->isChecked();
}

void CPage3::SaveBookmarkDefaults() const
{
    folivo::SaveBookmarkDefaults(PatternText());
    folivo::SaveContentsBookmarks(ContentsChecked());
}

QString CPage3::HelpTopic() const
{
    return QString::fromLatin1(kHelpTopicBookmarkPatterns);
}
