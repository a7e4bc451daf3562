// Splitting paths, decided once for every layer.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The folder a file lives in, as the system sees it: the path up to its last
// '/', without that separator. "a/b.txt" gives "a" and "a/b/" gives "a/b"; a
// name without '/' lies in the current folder, "."; "/name" gives "/". A '\'
// is part of a name here ("a\b.txt" gives "."): files are made and opened in
// this folder, and on this system that name is one file in the current folder.
std::string FolderOf(std::string_view path);

// The file's name for people and for the names derived from it (titles,
// database names): the part after the last '/' or '\', so that paths written
// in either style give the same name. The whole path when it has neither;
// empty when it ends with a separator.
std::string FileNameOf(std::string_view path);

}  // namespace platform
