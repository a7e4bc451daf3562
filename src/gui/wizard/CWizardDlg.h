// The four-page conversion wizard, and at the same time the owner of one
// document's conversion (its names, the temporary files of the latest run,
// the pattern object of the bookmark scan). Its starters use it so:
//
//   CWizardDlg sheet(parent);
//   sheet.SetDocument(path);   // the document's path, file name and title
//   sheet.ResetPageFlags();    // every page starts from the stored defaults
//   sheet.exec();              // the wizard: Finish converts
//   sheet.DeleteTextFile();    // the prepared text of the latest run
//
// (RunWizard does all four.) RunConversion runs the job without the wizard,
// its progress shown; the program's direct conversions need no sheet and run
// a job of their own (ConvertDocuments). Job().LastReport() tells what the
// latest run did. Every run, preview and size measurement of a wizard run
// goes through the same job, so the bookmarks edited in a preview reach the
// database written at Finish.
#pragma once

#include <core/BookmarkList.h>
#include <core/ConversionJob.h>
#include <core/WizardPages.h>

#include <QDialog>

class CPage1;
class CPage2;
class CPage3;
class CPage4;
class QFrame;
class QPushButton;
class QStackedWidget;
class WizardPage;

class CWizardDlg : public QDialog, private folivo::WizardPages {
public:
    // Generated bookmarks go to `bookmarks`, the program's one list unless a
    // test brings its own.
    explicit CWizardDlg(QWidget* parent = nullptr, BookmarkList& bookmarks = BookmarkList::Instance());

private:
    // Declared first: the document's names below are the job's own.
    folivo::ConversionJob m_job;

public:
    CString& sourcePath;
    CString& sourceFileName;
    CString& title;
    // The output path page 1 proposed when it was first shown.
    CString& proposedOutputPath;

    // Sets the three above from the document's path, as a direct run names
    // its document (the title: the file name without its extension).
    void SetDocument(const CString& path);
    // The next wizard run starts every page from the stored defaults.
    void ResetPageFlags();

    // The whole job, with its progress windows. Returns a ConversionResult.
    int RunConversion(const CString& source, const CString& outputPath, const CString& runTitle, DocumentFormat format,
                      std::int32_t blockSizeKB, std::int32_t compress);
    // The job with page 1's output path and title.
    int ConvertFromPages(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress);
    // The size of the database the pages' choices make; nothing is left behind.
    folivo::Error MeasureDatabaseSize(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress,
                                      long long& size);
    // Deletes the prepared text of the latest run.
    void DeleteTextFile() { m_job.DeleteTextFile(); }
    folivo::ConversionJob& Job() { return m_job; }

    // For the pages.
    enum WizardButton { kBack = 1, kNext = 2, kFinish = 4 };
    // Back and Next are enabled as asked; with kFinish, Finish takes Next's place.
    void SetWizardButtons(int buttons);
    // Whether the bookmark pattern the next run would scan with compiles;
    // when not, page 3 comes up with the engine's reason and the pattern
    // selected, for the user to correct.
    bool PatternAccepted();
    // Prepares the text as the pages say and opens the preview on it.
    void Preview();
    // Converts from the pages; false, after telling the user why, when no
    // database was written.
    bool FinishConversion(DocumentFormat format, std::int32_t blockSizeKB, std::int32_t compress);
    CPage1& Page1() const { return *m_page1; }
    CPage2& Page2() const { return *m_page2; }
    CPage3& Page3() const { return *m_page3; }
    CPage4& Page4() const { return *m_page4; }

protected:
    // A new run starts on page 1 each time the sheet is shown.
    void showEvent(QShowEvent* event) override;

private:
    void PlaceButtons();
    void SetActivePage(int index);
    WizardPage* ActivePage() const;
    void Finish();
    // Runs `run` with a progress window owned by the visible sheet, or by
    // its parent when the sheet is not shown.
    template <class Run>
    auto WithProgress(Run run);
    void TellProblem(const QString& what, const std::string& why);

    // The job's questions, answered from the pages' controls.
    bool TextPageShown() const override;
    folivo::TextPageState TextPage() const override;
    bool BookmarkPageShown() const override;
    CString BookmarkPatternText() const override;
    bool ContentsBookmarksChecked() const override;
    bool DocumentPageExists() const override;
    bool AutoInstallChecked() const override;
    CString InstallUserText() const override;
    CString OutputPathText() const override;
    CString TitleText() const override;

    BookmarkList& m_bookmarks;
    QStackedWidget* m_stack;
    CPage1* m_page1;
    CPage2* m_page2;
    CPage3* m_page3;
    CPage4* m_page4;
    QPushButton* m_back;
    QPushButton* m_next;
    QPushButton* m_finish;
    QPushButton* m_cancel;
    QPushButton* m_help;
    QFrame* m_divider;
};
