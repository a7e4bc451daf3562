// What the four pages of the conversion wizard share: the caption the sheet
// shows while a page is up, the flag telling whether the page has taken its
// starting state in this wizard run, and what the sheet asks of a page.
// Pages 2 to 4 also share a Preview button and a "Save as default settings"
// box, which starts clear in every run.
#pragma once

#include <QString>
#include <QWidget>

class CWizardDlg;
class DialogBuilder;
class QCheckBox;

class WizardPage : public QWidget {
public:
    // Set when the page first takes its state in a wizard run; the sheet
    // clears it before each run (ResetPageFlags), the document page also
    // clears the format page's on every format click. While it is set the
    // conversion reads the page's controls instead of the stored defaults.
    bool pageShown = false;

    const QString& Caption() const { return m_caption; }
    // The page becomes the sheet's active page.
    virtual void OnSetActive() = 0;
    // Next was pressed: whether the sheet may move on.
    virtual bool OnWizardNext() { return true; }
    // A new run of the sheet starts: what a new page window would show.
    virtual void BeginRun();
    // The help topic the sheet's Help button opens while the page is up.
    virtual QString HelpTopic() const = 0;
    // F1 on the page: its help topic on the pages that answer F1, else nothing.
    void OnHelpRequest() const;

    bool SaveDefaultsChecked() const;

protected:
    WizardPage(CWizardDlg& sheet, int templateId, const QString& caption);

    CWizardDlg& Sheet() const { return m_sheet; }
    // F1 opens the page's topic, as the Help button does.
    void AnswerHelpRequests() { m_answersHelpRequests = true; }
    // The Preview button (runs the job in preparation-only mode and opens
    // the preview) and the save box, at their common places.
    void AddPreviewAndSaveBox(const DialogBuilder& builder, int previewId, int saveId);

private:
    CWizardDlg& m_sheet;
    QString m_caption;
    QCheckBox* m_saveDefaults = nullptr;
    bool m_answersHelpRequests = false;
};
