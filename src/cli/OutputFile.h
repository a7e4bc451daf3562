// Replacing a file only once its new content is complete.
#pragma once

#include <string>
#include <string_view>

// Writes `bytes` to a new file in the folder of `path` and renames it over
// `path`, so that an existing file is either kept or wholly replaced. An
// existing file's permissions carry over. Returns an empty string, or why the
// file could not be written (nothing is left behind then).
std::string ReplaceFile(const std::string& path, std::string_view bytes);
