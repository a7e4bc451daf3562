// Page 3 of the wizard, the bookmark patterns: one regular expression, which
// may span lines, whose matching lines become the book's bookmarks. The text
// is kept byte for byte as stored or typed (CR LF between lines, blank lines
// and trailing spaces included).
#pragma once

#include "wizard/WizardPage.h"

#include <framework/CString.h>

class QCheckBox;
class QPlainTextEdit;

class CPage3 : public WizardPage {
public:
    explicit CPage3(CWizardDlg& sheet);

    void OnSetActive() override;
    // Moves on only with a pattern the scan can run.
    bool OnWizardNext() override;
    QString HelpTopic() const override;

    // The whole text of the edit, its lines separated by CR LF.
    CString PatternText() const;
    // Its box for bookmarks from the book's own contents.
    bool ContentsChecked() const;
    void SaveBookmarkDefaults() const;
    // The pattern text selected in its edit, for the user to correct.
    void SelectPattern();

private:
    void ShowPattern(const CString& bytes);
    // Takes back an edit that made the text too long to store.
    void KeepStorable();

    QPlainTextEdit* m_edit;
    QCheckBox* m_contents;
    // The stored text last shown, and the edit's text right after showing
    // it: while the edit still holds that, its bytes are the stored ones.
    CString m_shownBytes;
    QString m_shownText;
    // The edit's latest text that the store can take, and where its cursor
    // was last.
    QString m_storable;
    int m_storableCursor = 0;
};
