// Page 4 of the wizard, the format options: compression and block size for
// the format chosen on page 1, the size of the database all four pages'
// choices make, and Finish, which saves the defaults asked for and converts.
#pragma once

#include "wizard/WizardPage.h"

#include <core/ConversionSettings.h>
#include <core/SettingsGroups.h>

class QLabel;
class QRadioButton;
class QSpinBox;

class CPage4 : public WizardPage {
public:
    explicit CPage4(CWizardDlg& sheet);

    // Loads the format's stored values when the page has not been shown
    // for it yet, relabels the page for the format and measures the size.
    void OnSetActive() override;
    QString HelpTopic() const override;

    // Saves the defaults of every page whose box is checked, then converts.
    // False, keeping the wizard open, when no database was written.
    bool OnWizardFinish();
    void SaveFormatDefaults() const;

    std::int32_t BlockSizeKB() const;
    std::int32_t Compress() const;

private:
    void Show(const folivo::FormatPageState& state);
    void Relabel(DocumentFormat format);
    void ShowSize(DocumentFormat format);

    QLabel* m_formatLabel;
    QRadioButton* m_first = nullptr;
    QRadioButton* m_second = nullptr;
    QSpinBox* m_block;
    QLabel* m_size;
};
