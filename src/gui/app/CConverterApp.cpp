#include "app/CConverterApp.h"

#include "app/CConverterDlg.h"
#include "common/FilePaths.h"
#include "wizard/CProgressDlg.h"
#include "wizard/CWizardDlg.h"

#include <core/CommandLineStart.h>

#include <QFileInfo>

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
    ConvertDocuments(nullptr, BookmarkList::Instance(), {start.document.path}, format);
    return 0;
}

void ConvertDocuments(QWidget* owner, BookmarkList& bookmarks, const std::vector<CString>& paths, DocumentFormat format)
{
    CProgressDlg progress(owner);
    folivo::ConversionJob job(bookmarks);
    job.SetProgress(&progress);
    for (const CString& path : paths)
        folivo::ConvertDirectly(job, path, format);
}

void RunWizard(CWizardDlg& sheet, const CString& sourcePath)
{
    sheet.SetDocument(sourcePath);
    sheet.ResetPageFlags();
    sheet.exec();
    sheet.DeleteTextFile();
}
