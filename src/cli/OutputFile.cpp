#include "OutputFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return std::strerror(errno);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return ::fsync(fd) == 0 ? std::string() : std::strerror(errno);
}

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
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    std::string temporary = folder + "/.folivo-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return "cannot create a file in the folder of '" + path + "': " + std::strerror(errno);
    std::string problem = WriteAll(fd, bytes);
    if (problem.empty() && ::fchmod(fd, ModeFor(path)) != 0)
        problem = std::strerror(errno);
    if (::close(fd) != 0 && problem.empty())
        problem = std::strerror(errno);
    if (problem.empty() && ::rename(temporary.c_str(), path.c_str()) != 0)
        problem = std::strerror(errno);
    if (!problem.empty()) {
        ::unlink(temporary.c_str());
        return "cannot write '" + path + "': " + problem;
    }
    return {};
}
