#include "FileEnumeration.h"

#include <platform/Files.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

namespace patternkit {
namespace {

// The folder part as it prefixes reported names ("" for the current folder).
std::string Join(const std::string& prefix, const std::string& name)
{
    if (prefix.empty())
        return name;
    return prefix.back() == '/' ? prefix + name : prefix + "/" + name;
}

int ListFolder(const std::string& folder, std::vector<std::string>& names)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()), &closedir);
    if (!dir)
        return errno;
    errno = 0;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
        errno = 0;
    }
    if (errno != 0)
        return errno;
    std::sort(names.begin(), names.end());
    return 0;
}

bool Visit(const std::string& folder, const std::string& wildcard, bool recurse, const FileVisitor& visitor)
{
    std::vector<std::string> names;
    if (const int error = ListFolder(folder, names))
        return visitor.folderProblem(folder.empty() ? std::string(".") : folder, error);
    std::vector<std::string> subfolders;
    for (const std::string& name : names) {
        if (platform::IsTemporaryName(name, kTemporaryPrefix))
            continue;
        const std::string path = Join(folder, name);
        struct stat target;
        const bool examined = stat(path.c_str(), &target) == 0;
        if (fnmatch(wildcard.c_str(), name.c_str(), 0) == 0 && (!examined || S_ISREG(target.st_mode))) {
            if (!visitor.file(path))
                return false;
        }
        struct stat self;
        if (recurse && examined && S_ISDIR(target.st_mode) && lstat(path.c_str(), &self) == 0 && S_ISDIR(self.st_mode))
            subfolders.push_back(path);
    }
    for (const std::string& sub : subfolders) {
        if (!Visit(sub, wildcard, recurse, visitor))
            return false;
    }
    return true;
}

}  // namespace

bool EnumerateFiles(const std::string& pattern, bool recurse, const FileVisitor& visitor)
{
    const std::size_t slash = pattern.rfind('/');
    if (slash == std::string::npos)
        return Visit(std::string(), pattern, recurse, visitor);
    // "/x" names the root folder, which must stay "/" rather than become "".
    const std::string folder = pattern.substr(0, slash == 0 ? 1 : slash);
    return Visit(folder, pattern.substr(slash + 1), recurse, visitor);
}

}  // namespace patternkit
