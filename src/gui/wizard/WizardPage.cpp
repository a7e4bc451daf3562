#include "wizard/WizardPage.h"

#include "app/Help.h"
#include "common/DialogBuilder.h"
#include "wizard/CWizardDlg.h"
#include "wizard/Templates.h"

#include <QCheckBox>
#include <QPushButton>

WizardPage::WizardPage(CWizardDlg& sheet, int templateId, const QString& caption) : m_sheet(sheet), m_caption(caption)
{
    setObjectName(QString::number(templateId));
}

void WizardPage::AddPreviewAndSaveBox(const DialogBuilder& builder, int previewId, int saveId)
{
    QPushButton* preview = builder.AddButton(previewId, QStringLiteral("&Preview"), kPreviewRect);
    m_saveDefaults = builder.AddCheckBox(saveId, QStringLiteral("Save as default settings"), kSaveDefaultsRect);
    connect(preview, &QPushButton::clicked, this, [this] { m_sheet.Preview(); });
}

void WizardPage::BeginRun()
{
    if (m_saveDefaults)
        m_saveDefaults->setChecked(false);
}

void WizardPage::OnHelpRequest() const
{
    if (m_answersHelpRequests)
        OpenHelpTopic(HelpTopic());
}

bool WizardPage::SaveDefaultsChecked() const
{
    return m_saveDefaults && m_saveDefaults->isChecked();
}
