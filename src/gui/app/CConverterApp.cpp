#include "app/CConverterApp.h"

#include "app/CConverterDlg.h"
#include "common/FilePaths.h"
#include "common/MessageBox.h"
#include "wizard/CProgressDlg.h"
#include "wizard/CWizardDlg.h"

#include <core/CommandLineStart.h>
#include <core/ConversionNotes.h>

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
        return dialog.AnyConversionFailed() ? 1 : 0;
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
    std::vector<std::string> warnings;
    bool partial = false;
    {
        CProgressDlg progress(owner);
        folivo::ConversionJob job(bookmarks);
        job.SetProgress(&progress);
        for (const CString& path : paths) {
            folivo::ConvertDirectly(job, path, format);
            const folivo::ConversionReport& report = job.LastReport();
            if (const folivo::Error problem = RunProblem(report, writes)) {
                failures.push_back(path + ": " + problem.Message());
                continue;
            }
            for (const folivo::ConversionNote& note : folivo::ConversionNotes(report)) {
                warnings.push_back(path + ": " + note.text);
                partial = partial || note.partial;
            }
        }
    }
    if (failures.empty() && warnings.empty())
        return 0;
    QString text;
    if (!failures.empty())
        text = paths.size() == 1
                   ? QStringLiteral("The document could not be converted:")
                   : QString::number(failures.size()) + QStringLiteral(" of ") + QString::number(paths.size()) +
                         QStringLiteral(" documents could not be converted:");
    for (const std::string& failure : failures)
        text += u'\n' + FromPath(failure);
    if (!warnings.empty())
        text += (text.isEmpty() ? QString() : QStringLiteral("\n\n")) +
                (paths.size() == 1 ? QStringLiteral("The database was written, but:")
                                   : QStringLiteral("Databases were written, with these warnings:"));
    for (const std::string& warning : warnings)
        text += u'\n' + FromPath(warning);
    ShowMessageBox(owner, text, QStringLiteral("Folivo Converter"), QMessageBox::Ok, QMessageBox::Warning);
    return failures.empty() && !partial ? 0 : 1;
}

void RunWizard(CWizardDlg& sheet, const CString& sourcePath)
{
    sheet.SetDocument(sourcePath);
    sheet.ResetPageFlags();
    sheet.exec();
    sheet.DeleteTextFile();
}
