// Whole-file reading, storing a database, and paths.
#pragma once

#include <string>
#include <string_view>

#include <palm/PalmResult.h>

namespace palm {

// Reads the whole file. On failure returns false with the reason in error.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

// Replaces the file at path by a database, through ReplaceFile: an existing
// file is either kept or wholly replaced. Result: Ok, OutputFolderUnwritable
// or OutputWriteFailed.
Result StoreDatabase(const std::string& path, std::string_view bytes);

// The folder part of a path ("." when there is none); splits at the last '/'.
std::string FolderOf(const std::string& path);

// The part after the last '/' or '\\'.
std::string FileNameOf(const std::string& path);

}  // namespace palm
