// Which database each document of `folivo convert` becomes.
#pragma once

#include <core/Error.h>
#include <framework/CString.h>

#include <string>
#include <vector>

namespace folivo::cli {

struct ConvertOptions;

struct FilePlan {
    CString source;  // kStandardStream: standard input, until it is read into a file
    CString name;    // the document as messages name it
    CString output;  // kStandardStream: standard output
    CString title;
    // -o names the document itself, a Palm database, which its new database replaces.
    bool replacesSource = false;
    // Why the file is not converted at all; success when it is.
    Error refusal;
};

// One plan per file, in the order given. -o names the database of a single
// file, or a folder (an existing one, or one written with a trailing '/')
// that takes the derived file names. Fails, saying what is wrong with the
// command line. A file whose database would replace the document itself or
// an earlier file's database is refused, except a Palm database that -o
// names: it is converted in its own place. Standard input takes its title from
// the database's file name ("Untitled" on standard output).
Error PlanOutputs(const ConvertOptions& options, std::vector<FilePlan>& plans);

}  // namespace folivo::cli
