#include "wizard/CPage2.h"

#include "app/Help.h"
#include "common/DialogBuilder.h"
#include "wizard/CWizardDlg.h"
#include "wizard/Templates.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>

using namespace Page2Template;
using folivo::TextPageState;

CPage2::CPage2(CWizardDlg& sheet)
    : WizardPage(sheet, 108, QStringLiteral("Folivo convertion wizard - step 2 of 4 | Text options"))
{
    const DialogBuilder builder(this, WizardTemplate::kPageWidth, WizardTemplate::kPageHeight);
    QGroupBox* removal = builder.AddGroupBox(QStringLiteral("CR/LF &removal"), kRemovalGroupRect);
    QGroupBox* translation = builder.AddGroupBox(QStringLiteral("CR/LF &translation"), kTranslationGroupRect);
    QGroupBox* misc = builder.AddGroupBox(QStringLiteral("Misc options"), kMiscGroupRect);
    const auto radio = [&](int id, const char* text, const DuRect& rect, QGroupBox* group) {
        return builder.AddRadioButton(id, QString::fromLatin1(text), rect, group);
    };
    const auto box = [&](int id, const char* text, const DuRect& rect) {
        return builder.AddCheckBox(id, QString::fromLatin1(text), rect, misc);
    };
    m_buttons = {{
        {radio(kRemoveNone, "None", kRemoveNoneRect, removal), &TextPageState::removeNone},
        {radio(kRemoveLF, "Remove LF (0x0A) Characters", kRemoveLFRect, removal), &TextPageState::removeLF},
        {radio(kRemoveCR, "Remove CR (0x0D) Characters", kRemoveCRRect, removal), &TextPageState::removeCR},
        {radio(kTranslateNone, "None", kTranslateNoneRect, translation), &TextPageState::translateNone},
        {radio(kTranslateCR, "CR (0x0D) -> LF (0x0A)", kTranslateCRRect, translation), &TextPageState::translateCR},
        {radio(kTranslateLF, "LF (0x0A) -> CR (0x0D)", kTranslateLFRect, translation), &TextPageState::translateLF},
        {box(kSingle, "&Ignore single line breaks", kSingleRect), &TextPageState::single},
        {box(kTabs, "Tab&s (0x09) -> line breaks", kTabsRect), &TextPageState::tabs},
        {box(kAscii, "Allow &low ASCII codes", kAsciiRect), &TextPageState::ascii},
        {box(kHtml, "Remove &HTML tags", kHtmlRect), &TextPageState::html},
        {box(kCharset, "Convert to the hand-held's &character set", kCharsetRect), &TextPageState::charset},
        {box(kHtmlLayout, "Lay &out HTML as text", kHtmlLayoutRect), &TextPageState::htmlLayout},
    }};
    AddPreviewAndSaveBox(builder, kPreviewButton, kSaveDefaults);
    AnswerHelpRequests();
    Show(TextPageState{});
}

void CPage2::OnSetActive()
{
    Sheet().SetWizardButtons(CWizardDlg::kBack | CWizardDlg::kNext);
    if (pageShown)
        return;
    // Also when the store cannot be read: the page then shows the built-in
    // defaults, and what the user changes counts and stays.
    Show(folivo::StoredTextPageState());
    pageShown = true;
}

void CPage2::Show(const TextPageState& state)
{
    for (const auto& [button, value] : m_buttons)
        button->setChecked(state.*value == 1);
}

TextPageState CPage2::State() const
{
    TextPageState state;
    for (const auto& [button, value] : m_buttons)
        state.*value = button->isChecked() ? 1 : 0;
    return state;
}

void CPage2::SaveTextDefaults() const
{
    folivo::SaveTextDefaults(State());
}

QString CPage2::HelpTopic() const
{
    return QString::fromLatin1(kHelpTopicTextOptions);
}
