// Whole-file reading, and replacing a file only once its new content is
// completely on disk.
#pragma once

#include <string>
#include <string_view>

#include <palm/PalmResult.h>

namespace palm {

// Reads the whole file. On failure returns false with the reason in error.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error);

// Writes bytes to a new temporary file in path's folder (created exclusively,
// never a guessed name) and renames it over path once written and synced.
// On any failure the temporary file is removed and an existing file at path
// is left as it was. Result: Ok, OutputFolderUnwritable or OutputWriteFailed.
Result replaceFile(const std::string& path, std::string_view bytes);

// The folder part of a path ("." when there is none); splits at the last '/'.
std::string folderOf(const std::string& path);

// The part after the last '/' or '\\'.
std::string fileNameOf(const std::string& path);

}  // namespace palm
