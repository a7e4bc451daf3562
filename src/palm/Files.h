// Whole-file reading, storing a database, and paths.
#pragma once

#include <string>
#include <string_view>

#include <palm/PalmResult.h>

namespace palm {

// Reads the whole file. On failure returns false with the reason in error.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error);

// Replaces the file at path by a database, through replaceFile: an existing
// file is either kept or wholly replaced. Result: Ok, OutputFolderUnwritable
// or OutputWriteFailed.
Result storeDatabase(const std::string& path, std::string_view bytes);

// The folder part of a path ("." when there is none); splits at the last '/'.
std::string folderOf(const std::string& path);

// The part after the last '/' or '\\'.
std::string fileNameOf(const std::string& path);

}  // namespace palm
