// The database `info` and `extract` read: a file, or standard input.
#pragma once

#include <palm/EbookReader.h>

#include <string>

namespace folivo::cli {

// Reads the database at `path`, or standard input when path is "-".
palm::Result ReadDatabase(const std::string& path, palm::EbookInfo& info);

}  // namespace folivo::cli
