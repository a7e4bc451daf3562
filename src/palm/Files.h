// Storing a finished database.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include <palm/PalmResult.h>

namespace palm {

// Replaces the file at path by a database: an existing file is either kept or
// wholly replaced, keeping its permission bits. Result: Ok,
// OutputFolderUnwritable, or OutputWriteFailed (also for a path that names
// something other than a regular file, which is left alone).
Result StoreDatabase(const std::string& path, std::string_view bytes);
// The same for a new file at path: when anything has that name already,
// nothing is written and nameTaken is set.
Result StoreNewDatabase(const std::string& path, std::string_view bytes, bool& nameTaken);

// The outcome of reading a file the writer or reader needs, as `status`. A
// file larger than maxSize is refused before it is read.
Result ReadInput(const std::string& path, std::string& bytes, Status status,
                 std::uint64_t maxSize = std::numeric_limits<std::uint64_t>::max());

}  // namespace palm
