// Which database each document of `folivo convert` becomes.
#pragma once

#include <framework/CString.h>

#include <string>
#include <vector>

struct ConvertOptions;

struct FilePlan {
    CString source;
    CString output;
    CString title;
    // Why the file is not converted at all; empty when it is.
    std::string refusal;
};

// One plan per file, in the order given. -o names the database of a single
// file, or a folder (an existing one, or one written with a trailing '/')
// that takes the derived file names. Returns an empty string, or what is
// wrong with the command line. A file whose database would replace the
// document itself or an earlier file's database is refused.
std::string PlanOutputs(const ConvertOptions& options, std::vector<FilePlan>& plans);
