// How the desktop program is started. Its own command line is one argument:
// a double-quoted document path, one space and a format number (0 PalmDoc,
// 1 zTXT, 2 the wizard). Desktop launchers and file managers pass the path
// and the number as two arguments instead, with the same meaning.
#pragma once

#include <core/ConversionJob.h>

#include <string>
#include <string_view>
#include <vector>

namespace folivo {

struct ProgramCommandLine {
    CString path;    // empty when the closing quote is missing
    int format = 0;  // read with atoi rules: missing or non-numeric reads as 0
};

// The path runs from the second character to the next double quote, and the
// format number starts two characters after that quote. A number beyond the
// range of int reads as a format that writes no database.
ProgramCommandLine ParseProgramCommandLine(std::string_view commandLine);

// What the program does for its arguments (Qt's own options already taken out).
struct ProgramStart {
    enum class Mode {
        MainDialog,  // the main dialog, with `listed` in its list
        Document,    // `document` alone, converted directly or in the wizard
    };
    Mode mode = Mode::MainDialog;
    ProgramCommandLine document;
    std::vector<CString> listed;
};

// No arguments: the main dialog. One argument that begins with a double quote:
// the program's own command line. Two arguments whose second is a whole
// number: the path and the format. Anything else names documents for the
// main dialog's list, as an "Open with" from a file manager passes them.
// A path without any folder is a document in the current folder: the whole
// path is its file name.
ProgramStart ParseProgramArguments(const std::vector<std::string>& arguments);

// Sets the job's document and clears its pages, then, for format 0 or 1,
// converts `sourcePath` to its derived database with the stored block size
// and compression; any other format runs the preparation only. The prepared
// text is deleted afterwards. Returns the job's result.
int ConvertDirectly(ConversionJob& job, const CString& sourcePath, DocumentFormat format);

}  // namespace folivo
