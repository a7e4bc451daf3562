#include "app/CConverterApp.h"

#include "app/CConverterDlg.h"
#include "wizard/CProgressDlg.h"
#include "wizard/CWizardDlg.h"

#include <core/CommandLineStart.h>

#include <QFile>
#include <QFileInfo>

int CConverterApp::Run(const std::vector<std::string>& arguments)
{
    const folivo::ProgramStart start = folivo::ParseProgramArguments(arguments);
    if (start.mode == folivo::ProgramStart::Mode::MainDialog) {
        CConverterDlg dialog;
        QStringList listed;
        for (const CString& path : start.listed)
            listed << QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).absoluteFilePath();
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
    CProgressDlg progress;
    folivo::ConversionJob job;
    job.SetProgress(&progress);
    folivo::ConvertDirectly(job, start.document.path, format);
    return 0;
}

void RunWizard(CWizardDlg& sheet, const CString& sourcePath)
{
    sheet.SetDocument(sourcePath);
    sheet.ResetPageFlags();
    sheet.exec();
    sheet.DeleteTextFile();
}
