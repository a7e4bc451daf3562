#include "app/CConverterApp.h"

#include "app/CConverterDlg.h"
#include "common/FilePaths.h"
#include "common/MessageBox.h"
#include "wizard/CProgressDlg.h"
#include "wizard/CWizardDlg.h"

#include <core/CommandLineStart.h>

#include <QFileInfo>

namespace {

// Why the run failed, in the command line's words; a run that writes no
// database fails only when it could not prepare the text.
folivo::Error RunProblem(const folivo::ConversionReport& report, bool writesDatabase)
{
    if (writesDatabase)
        return folivo::DatabaseProblem(report);
    return report.result == folivo::kConversionDone ? folivo::Error() : folivo::Error::Failure(report.problem);
}

}  // namespace

int CConverterApp::Run(const std::vector<std::string>& arguments)
{
    const folivo::ProgramStart start = folivo::ParseProgramArguments(arguments);
    if (start.mode == folivo::ProgramStart::Mode::MainDialog) {
        CConverterDlg dialog;
        QStringList listed;
        for (const CString& path : start.listed)
            listed << QFileInfo(FromPath(path)).absoluteFilePath();
        dialog.ListDocuments(listed);
        dialog.exec();
        return 0;
    }
    const auto format = static_cast<DocumentFormat>(start.document.format);
    if (format == DocumentFormat::ShowWizard) {
        CWizardDlg sheet;
        RunWizard(sheet, start.document.path);
        return 0;
    }
    return ConvertDocuments(nullptr, BookmarkList::Instance(), {start.document.path}, format);
}

int ConvertDocuments(QWidget* owner, BookmarkList& bookmarks, const std::vector<CString>& paths, DocumentFormat format)
{
    const bool writes = format == DocumentFormat::PalmDoc || format == DocumentFormat::zTXT;
    std::vector<std::string> failures;
    {
        CProgressDlg progress(owner);
        folivo::ConversionJob job(bookmarks);
        job.SetProgress(&progress);
        for (const CString& path : paths) {
            folivo::ConvertDirectly(job, path, format);
            const folivo::ConversionReport& report = job.LastReport();
            if (const folivo::Error problem = RunProblem(report, writes))
                failures.push_back(path + ": " + problem.Message());
        }
    }
    if (failures.empty())
        return 0;
    QString text = paths.size() == 1
                       ? QStringLiteral("The document could not be converted:")
                       : QString::number(failures.size()) + QStringLiteral(" of ") + QString::number(paths.size()) +
                             QStringLiteral(" documents could not be converted:");
    for (const std::string& failure : failures)
        text += u'\n' + FromPath(failure);
    ShowMessageBox(owner, text, QStringLiteral("Folivo Converter"), QMessageBox::Ok, QMessageBox::Warning);
    return 1;
}

void RunWizard(CWizardDlg& sheet, const CString& sourcePath)
{
    sheet.SetDocument(sourcePath);
    sheet.ResetPageFlags();
    sheet.exec();
    sheet.DeleteTextFile();
}
