// The desktop program's own command line: a double-quoted document path, one
// space and a format number (0 PalmDoc, 1 zTXT, 2 the wizard), as the desktop's
// context menu starts it.
#pragma once

#include <core/ConversionJob.h>

#include <string_view>

namespace folivo {

struct ProgramCommandLine {
    CString path;    // empty when the closing quote is missing
    int format = 0;  // read with atoi rules: missing or non-numeric reads as 0
};

// The path runs from the second character to the next double quote, and the
// format number starts two characters after that quote.
ProgramCommandLine ParseProgramCommandLine(std::string_view commandLine);

enum class CommandLineAction {
    Converted,   // the document went through the job (formats other than 2)
    ShowWizard,  // format 2: the caller opens the wizard on the prepared job
};

// Sets the job's document from the command line and clears its pages. For
// format 0 or 1 it converts directly with the stored block size and
// compression; any other number but 2 runs the preparation only. After a
// run the prepared-text file is deleted. For 2 nothing runs: the caller shows
// the wizard and deletes the job's prepared-text file after it.
CommandLineAction StartFromCommandLine(std::string_view commandLine, ConversionJob& job);

}  // namespace folivo
