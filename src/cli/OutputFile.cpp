#include "OutputFile.h"

#include <palm/FileReplacement.h>

#include <cstring>
#include <sys/stat.h>

namespace {

mode_t ModeFor(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::string ReplaceFile(const std::string& path, std::string_view bytes)
{
    const palm::Replacement replaced = palm::ReplaceFile(path, bytes, ModeFor(path), ".folivo-");
    if (replaced.folderRefused)
        return "cannot create a file in the folder of '" + path + "': " + std::strerror(replaced.error);
    if (replaced.error != 0)
        return "cannot write '" + path + "': " + std::strerror(replaced.error);
    return {};
}
