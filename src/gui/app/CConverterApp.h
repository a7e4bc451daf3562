// The program's start: with no document it runs the main dialog; with one
// document and a format number it converts that document directly with the
// stored defaults, showing the progress, or opens the conversion wizard on it,
// and ends without showing the main dialog.
#pragma once

#include <core/BookmarkList.h>
#include <core/ConversionSettings.h>
#include <framework/CString.h>

#include <string>
#include <vector>

class CWizardDlg;
class QWidget;

class CConverterApp {
public:
    // Does what `arguments` ask for (without the program's own name and Qt's
    // options) and returns the program's exit status.
    int Run(const std::vector<std::string>& arguments);
};

// Converts each document directly with the stored defaults of `format`, one
// progress window over `owner` (null: on its own) serving them all. A document
// that fails does not stop the others; afterwards one message box lists each
// that failed, with the reason the command line gives, and the warnings of
// those converted (ConversionNotes). Returns the exit status: 1 when any
// failed or was converted only in part, else 0.
int ConvertDocuments(QWidget* owner, BookmarkList& bookmarks, const std::vector<CString>& paths, DocumentFormat format);

// Runs the wizard on the document at `sourcePath`, every page starting from
// the stored defaults, and deletes the prepared text it leaves however it ends.
void RunWizard(CWizardDlg& sheet, const CString& sourcePath);
