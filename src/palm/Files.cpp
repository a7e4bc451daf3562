#include "Files.h"

#include <palm/FileReplacement.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace palm {

namespace {

std::string SystemError(int code)
{
    return std::strerror(code);
}

// Closes the descriptor when the scope ends, unless released.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    // Closes now, reporting a failure (a delayed write error can surface here).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        error = path + ": " + SystemError(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = path + ": not a regular file";
        return false;
    }
    // Read straight into the string; a file that grows meanwhile is read to its end.
    bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd.get(), bytes.data() + have, bytes.size() - have);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = path + ": " + SystemError(errno);
            return false;
        }
        if (n == 0)
            break;
        have += static_cast<std::size_t>(n);
    }
    bytes.resize(have);
    return true;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string FileNameOf(const std::string& path)
{
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

Replacement ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode, const char* tempPrefix)
{
    const std::string folder = FolderOf(path);
    std::string name = folder + "/" + tempPrefix + "XXXXXX";
    Descriptor fd(::mkostemp(name.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return {errno, true};

    // The reason is taken before unlink can change errno.
    auto fail = [&name](int code) {
        ::unlink(name.c_str());
        return Replacement{code, false};
    };
    if (!WriteAll(fd.get(), bytes))
        return fail(errno);
    if (::fchmod(fd.get(), mode) != 0)
        return fail(errno);
    if (::fsync(fd.get()) != 0)
        return fail(errno);
    if (!fd.close())
        return fail(errno);
    if (::rename(name.c_str(), path.c_str()) != 0)
        return fail(errno);
    // The rename itself lasts only once the folder is on disk.
    Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0)
        ::fsync(directory.get());
    return {};
}

Result StoreDatabase(const std::string& path, std::string_view bytes)
{
    // A short hidden name: a long output name plus a suffix could pass the file
    // system's name limit. The database is an ordinary document, readable by all.
    const Replacement replaced = ReplaceFile(path, bytes, 0644, ".folivo-");
    if (replaced.folderRefused)
        return {Status::OutputFolderUnwritable, FolderOf(path) + ": " + SystemError(replaced.error)};
    if (replaced.error != 0)
        return {Status::OutputWriteFailed, path + ": " + SystemError(replaced.error)};
    return {};
}

}  // namespace palm
