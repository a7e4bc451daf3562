// Page 2 of the wizard, the text options: the rules that clean the document's
// bytes up, and whether a Unicode document is brought into the hand-held's
// character set. The conversion reads the buttons themselves once the page
// has been shown.
#pragma once

#include "wizard/WizardPage.h"

#include <core/SettingsGroups.h>

#include <array>
#include <utility>

class QAbstractButton;

class CPage2 : public WizardPage {
public:
    explicit CPage2(CWizardDlg& sheet);

    void OnSetActive() override;
    QString HelpTopic() const override;

    // The buttons' check states.
    folivo::TextPageState State() const;
    // Stores all twelve values as the defaults.
    void SaveTextDefaults() const;

private:
    void Show(const folivo::TextPageState& state);

    // Each option button with the value it holds.
    std::array<std::pair<QAbstractButton*, std::uint32_t folivo::TextPageState::*>, 12> m_buttons;
};
