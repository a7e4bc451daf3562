// The database `info`, `extract` and `check` read: a file, or standard input.
#pragma once

#include <palm/EbookReader.h>

#include <string>

namespace folivo::cli {

// Reads the database at `path`, or standard input when path is "-".
palm::Result ReadDatabase(const std::string& path, palm::EbookInfo& info);
// Reads the bytes of the file at `path`, or of standard input when path is
// "-", refusing more than a database can hold: DatabaseUnreadable, with the
// system's reason (no path) as detail.
palm::Result ReadDatabaseBytes(const std::string& path, std::string& bytes);

}  // namespace folivo::cli
