#include "wizard/CPage1.h"

#include "app/Help.h"
#include "common/DialogBuilder.h"
#include "common/FilePaths.h"
#include "wizard/CPage4.h"
#include "wizard/CWizardDlg.h"
#include "wizard/Templates.h"

#include <palm/HotSync.h>
#include <platform/Paths.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

using namespace Page1Template;

CPage1::CPage1(CWizardDlg& sheet)
    : WizardPage(sheet, 107, QStringLiteral("Folivo convertion wizard - step 1 of 4 | Document options")),
      m_output(new QLineEdit), m_title(new QLineEdit), m_users(new QComboBox)
{
    const DialogBuilder builder(this, WizardTemplate::kPageWidth, WizardTemplate::kPageHeight);
    builder.Place(m_output, kOutputEdit, kOutputRect);
    builder.AddLabel(QStringLiteral("File name:"), kOutputLabelRect, m_output);
    QPushButton* browse = builder.AddButton(kBrowseButton, QStringLiteral("&Browse..."), kBrowseRect);
    builder.Place(m_title, kTitleEdit, kTitleRect);
    builder.AddLabel(QStringLiteral("Title:"), kTitleLabelRect, m_title);

    QGroupBox* install = builder.AddGroupBox(QStringLiteral("Installation options"), kInstallGroupRect);
    m_autoInstall = builder.AddCheckBox(kAutoInstall, QStringLiteral("Enable auto-install"), kAutoInstallRect, install);
    builder.Place(m_users, kUserCombo, kUserRect, {}, install);
    builder.AddLabel(QStringLiteral("User:"), kUserLabelRect, m_users);

    QGroupBox* format = builder.AddGroupBox(QStringLiteral("Conversion format"), kFormatGroupRect);
    m_palmDoc = builder.AddRadioButton(kPalmDoc, QStringLiteral("PalmDoc"), kPalmDocRect, format);
    QRadioButton* ztxt = builder.AddRadioButton(kZtxt, QStringLiteral("zTXT"), kZtxtRect, format);
    m_palmDoc->setChecked(true);
    BeginRun();
    AnswerHelpRequests();

    connect(browse, &QPushButton::clicked, this, &CPage1::Browse);
    connect(m_autoInstall, &QCheckBox::toggled, m_users, &QWidget::setEnabled);
    // Every click, also on the format already chosen, has page 4 load the
    // stored defaults of the format chosen now.
    for (QRadioButton* button : {m_palmDoc, ztxt})
        connect(button, &QRadioButton::clicked, this, [this] { Sheet().Page4().pageShown = false; });
}

void CPage1::BeginRun()
{
    m_autoInstall->setChecked(false);
    m_users->setEnabled(false);
}

void CPage1::OnSetActive()
{
    Sheet().SetWizardButtons(CWizardDlg::kNext);
    if (pageShown)
        return;
    Sheet().proposedOutputPath = folivo::OutputPathOf(Sheet().sourcePath);
    m_title->setText(QString::fromStdString(Sheet().title));
    m_output->setText(FromPath(Sheet().proposedOutputPath));
    FillUserList();
    // The wizard always starts with PalmDoc, whatever the starter showed.
    m_palmDoc->setChecked(true);
    if (m_users->count() > 0)
        m_users->setCurrentIndex(0);
    pageShown = true;
}

void CPage1::FillUserList()
{
    m_users->clear();
    std::vector<std::string> names;
    // A failed listing leaves the users it found; none is no error.
    (void)palm::ListHandheldUsers(names);
    QStringList users;
    for (const std::string& name : names)
        users.push_back(FromPath(name));
    // A sorted list box orders its entries without regard to case.
    std::stable_sort(users.begin(), users.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    m_users->addItems(users);
}

void CPage1::Browse()
{
    // Qt's own dialog: it lets the user type the name of a file that does
    // not exist yet, as the database usually does not.
    QFileDialog dialog(this, QString(), QFileInfo(m_output->text()).path(),
                       QStringLiteral("PDB Files (*.pdb);;All Files (*)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const CString chosen = ToPath(dialog.selectedFiles().constFirst());
    m_title->setText(FromPath(folivo::TitleOf(platform::FileNameOf(chosen))));
    m_output->setText(FromPath(folivo::OutputPathOf(chosen)));
}

QString CPage1::HelpTopic() const
{
    return QString::fromLatin1(kHelpTopicDocumentOptions);
}

DocumentFormat CPage1::Format() const
{
    return m_palmDoc->isChecked() ? DocumentFormat::PalmDoc : DocumentFormat::zTXT;
}

bool CPage1::AutoInstallChecked() const
{
    return m_autoInstall->isChecked();
}

CString CPage1::InstallUserText() const
{
    return ToPath(m_users->currentText());
}

CString CPage1::OutputPathText() const
{
    return ToPath(m_output->text());
}

// Paths and user names are the file system's bytes; titles are UTF-8, which
// the job brings into the hand-held's character set.
CString CPage1::TitleText() const
{
    return m_title->text().toStdString();
}
