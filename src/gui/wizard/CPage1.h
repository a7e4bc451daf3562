// Page 1 of the wizard, the document options: the database's path and title,
// the hand-held user whose install queue takes it, and the format. It reads
// nothing from the stored defaults; what it proposes comes from the document.
#pragma once

#include "wizard/WizardPage.h"

#include <core/ConversionSettings.h>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

class CPage1 : public WizardPage {
public:
    explicit CPage1(CWizardDlg& sheet);

    void OnSetActive() override;
    void BeginRun() override;
    QString HelpTopic() const override;

    DocumentFormat Format() const;
    bool AutoInstallChecked() const;
    CString InstallUserText() const;
    CString OutputPathText() const;
    CString TitleText() const;

private:
    void FillUserList();
    void Browse();

    QLineEdit* m_output;
    QLineEdit* m_title;
    QCheckBox* m_autoInstall = nullptr;
    QComboBox* m_users;
    QRadioButton* m_palmDoc = nullptr;
};
