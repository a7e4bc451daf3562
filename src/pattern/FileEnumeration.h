// The files named by a wildcard pattern.
#pragma once

#include <functional>
#include <string>

namespace patternkit {

// The component's temporary files are made under this prefix beside the files
// they replace; the enumeration never visits them, whatever the pattern.
constexpr char kTemporaryPrefix[] = ".changing-";

struct FileVisitor {
    // A regular file (or a name that could not be examined) whose last
    // component matches; false stops the enumeration.
    std::function<bool(const std::string& path)> file;
    // A folder that cannot be listed, with errno; false stops the enumeration.
    std::function<bool(const std::string& folder, int error)> folderProblem;
};

// Visits the files that `pattern` names: a path whose last component is
// an fnmatch wildcard, applied in every subfolder too when `recurse` is set.
// Names are visited sorted by their bytes, a folder's files before the contents
// of its subfolders. Symbolic links to folders are not followed; anything
// other than a regular file is passed over, and so are the component's own
// temporary files. Returns false when a visitor stopped it.
bool EnumerateFiles(const std::string& pattern, bool recurse, const FileVisitor& visitor);

}  // namespace patternkit
