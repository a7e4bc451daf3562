// Replacing a file only once its new content is complete.
#pragma once

#include <core/Error.h>

#include <string>
#include <string_view>

namespace folivo::cli {

// Writes `bytes` to a new file in the folder of `path` and renames it over
// `path`, so that an existing file is either kept or wholly replaced, keeping
// its permission bits. Fails, saying why, with nothing left behind; a path
// that names something other than a regular file is refused.
Error ReplaceFile(const std::string& path, std::string_view bytes);

}  // namespace folivo::cli
