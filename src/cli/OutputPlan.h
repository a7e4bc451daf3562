// Which database each document of `folivo convert` becomes.
#pragma once

#include <core/Error.h>
#include <framework/CString.h>

#include <string>
#include <vector>

namespace folivo::cli {

struct ConvertOptions;

struct FilePlan {
    CString source;
    CString output;
    CString title;
    // Why the file is not converted at all; success when it is.
    Error refusal;
};

// One plan per file, in the order given. -o names the database of a single
// file, or a folder (an existing one, or one written with a trailing '/')
// that takes the derived file names. Fails, saying what is wrong with the
// command line. A file whose database would replace the
// document itself or an earlier file's database is refused.
Error PlanOutputs(const ConvertOptions& options, std::vector<FilePlan>& plans);

}  // namespace folivo::cli
