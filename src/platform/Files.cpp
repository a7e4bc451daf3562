#include <platform/Files.h>
#include <platform/Paths.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

namespace platform {

namespace {

// The process's umask. Reading it means setting it for a moment, so it is
// read once, while the program starts and before any thread can be creating
// files that would get the wrong mode.
const mode_t kProcessUmask = [] {
    const mode_t current = ::umask(0);
    ::umask(current);
    return current;
}();

// Puts the folder's entries on disk, as far as that can be done.
void SyncFolder(const std::string& folder)
{
    const Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsOpen())
        ::fsync(directory.Get());
}

}  // namespace

FileError ResolveTarget(const std::string& path, std::string& target)
{
    struct stat link;
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
        target = path;
        return {};
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved)
        return FileError::System(path, errno);
    target = resolved.get();
    return {};
}

FileError ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t maxSize)
{
    bytes.clear();
    // O_NONBLOCK: opening a pipe with no writer must not wait for one.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.IsOpen())
        return FileError::System(path, errno);
    FileError error = ReadWholeFile(fd.Get(), bytes, maxSize);
    error.path = error ? path : std::string();
    return error;
}

namespace {

// Reads fd to its end into bytes, which starts at `initial` bytes and grows
// as needed; a file (`positioned`) from its start by offset, leaving the
// descriptor's own offset alone, a stream as it comes.
FileError ReadToEnd(int fd, std::string& bytes, std::uint64_t maxSize, std::size_t initial, bool positioned)
{
    try {
        bytes.resize(initial);
        std::size_t have = 0;
        for (;;) {
            if (have == bytes.size())
                bytes.resize(bytes.size() * 2);
            const ssize_t n = positioned
                                  ? ::pread(fd, bytes.data() + have, bytes.size() - have, static_cast<off_t>(have))
                                  : ::read(fd, bytes.data() + have, bytes.size() - have);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                const int code = errno;
                std::string().swap(bytes);
                return FileError::System({}, code);
            }
            if (n == 0)
                break;
            have += static_cast<std::size_t>(n);
            if (have > maxSize) {
                std::string().swap(bytes);
                return FileError::System({}, EFBIG);
            }
        }
        bytes.resize(have);
    } catch (const std::bad_alloc&) {
        std::string().swap(bytes);
        return FileError::System({}, ENOMEM);
    }
    return {};
}

}  // namespace

FileError ReadWholeFile(int fd, std::string& bytes, std::uint64_t maxSize)
{
    bytes.clear();
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return FileError::System({}, errno);
    if (!S_ISREG(info.st_mode))
        return FileError::NotRegular({}, info.st_mode);
    const std::size_t size = static_cast<std::size_t>(info.st_size);
    if (size > maxSize)
        return FileError::System({}, EFBIG);
    // One byte more than the file: the read that finds its end needs no
    // second allocation, and the caller may add a terminating zero.
    return ReadToEnd(fd, bytes, maxSize, size + 1, true);
}

FileError ReadAll(int fd, std::string& bytes, std::uint64_t maxSize)
{
    bytes.clear();
    constexpr std::size_t kStreamStart = 64 * 1024;
    return ReadToEnd(fd, bytes, maxSize, kStreamStart, false);
}

FileError WriteAll(int fd, std::string_view bytes, std::size_t* written)
{
    std::size_t done = 0;
    FileError error;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = FileError::System({}, n < 0 ? errno : ENOSPC);
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (written)
        *written = done;
    return error;
}

std::string TemporaryFolder()
{
    for (const char* variable : {"TMP", "TEMP", "TMPDIR"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return P_tmpdir;
}

TemporaryFile::TemporaryFile(const std::string& folder, std::string_view prefix)
{
    std::string pattern = folder.empty() ? std::string(".") : folder;
    if (pattern.back() != '/')
        pattern += '/';
    pattern.append(prefix).append("XXXXXX");
    // A sweep of abandoned files may have taken a new one before it was
    // locked: then it is gone, and another name is tried.
    constexpr int kTries = 8;
    for (int tries = 0; tries < kTries && !m_fd.IsOpen(); ++tries) {
        m_path = pattern;
        m_fd.Reset(::mkostemp(m_path.data(), O_CLOEXEC));
        if (!m_fd.IsOpen()) {
            m_error = FileError::System(folder.empty() ? std::string(".") : folder, errno);
            m_error.creatingFile = true;
            return;
        }
        const bool locked = ::flock(m_fd.Get(), LOCK_EX | LOCK_NB) == 0;
        struct stat info;
        if ((!locked && errno == EWOULDBLOCK) || (::fstat(m_fd.Get(), &info) == 0 && info.st_nlink == 0))
            m_fd.Reset();
    }
    if (!m_fd.IsOpen()) {
        m_error = FileError::System(pattern, EEXIST);
        m_error.creatingFile = true;
        return;
    }
    // The lock lasts while any descriptor of the file is open: this one
    // outlives Close and goes with the registration.
    m_removal = RemovedOnInterrupt(m_path, Descriptor(::fcntl(m_fd.Get(), F_DUPFD_CLOEXEC, 0)));
}

TemporaryFile::~TemporaryFile()
{
    m_fd.Reset();
    if (!m_error && !m_keep)
        ::unlink(m_path.c_str());
}

FileError TemporaryFile::Finish(mode_t mode)
{
    if (m_error)
        return m_error;
    if (::fchmod(m_fd.Get(), mode) != 0 || ::fsync(m_fd.Get()) != 0)
        return FileError::System(m_path, errno);
    if (const int code = m_fd.Close())
        return FileError::System(m_path, code);
    return {};
}

FileError TemporaryFile::Write(std::string_view bytes)
{
    if (m_error)
        return m_error;
    FileError error = WriteAll(m_fd.Get(), bytes);
    if (error)
        error.path = m_path;
    return error;
}

FileError TemporaryFile::Finish(std::string_view bytes, mode_t mode)
{
    if (FileError error = Write(bytes))
        return error;
    return Finish(mode);
}

FileError TemporaryFile::Close(std::string_view bytes)
{
    if (FileError error = Write(bytes))
        return error;
    if (const int code = m_fd.Close())
        return FileError::System(m_path, code);
    return {};
}

FileError TemporaryFile::MoveOver(const std::string& target)
{
    if (m_error)
        return m_error;
    if (::rename(m_path.c_str(), target.c_str()) != 0)
        return FileError::System(target, errno);
    Keep();
    // The rename itself lasts only once the folder is on disk; the new file
    // is in place either way, so a failure here is not reported.
    SyncFolder(FolderOf(target));
    return {};
}

FileError TemporaryFile::MoveToNew(const std::string& target)
{
    if (m_error)
        return m_error;
    // A file system without the no-replace rename still has links.
    if (::renameat2(AT_FDCWD, m_path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS)
            return FileError::System(target, errno);
        if (::link(m_path.c_str(), target.c_str()) != 0)
            return FileError::System(target, errno);
        ::unlink(m_path.c_str());
    }
    Keep();
    SyncFolder(FolderOf(target));
    return {};
}

RemovedOnInterrupt TemporaryFile::Keep()
{
    m_keep = true;
    return std::move(m_removal);
}

std::size_t RemoveAbandonedTemporaryFiles(const std::string& folder, std::string_view prefix)
{
    struct Closer {
        void operator()(DIR* listing) const { ::closedir(listing); }
    };
    const std::unique_ptr<DIR, Closer> listing(::opendir(folder.c_str()));
    if (!listing)
        return 0;
    const int at = ::dirfd(listing.get());
    const uid_t user = ::geteuid();
    std::size_t removed = 0;
    while (const dirent* entry = ::readdir(listing.get())) {
        if (!IsTemporaryName(entry->d_name, prefix))
            continue;
        const Descriptor fd(::openat(at, entry->d_name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK));
        struct stat held, named;
        if (!fd.IsOpen() || ::fstat(fd.Get(), &held) != 0 || !S_ISREG(held.st_mode) || held.st_uid != user)
            continue;
        // Whoever made the file holds this lock for as long as it is in use;
        // taking it keeps a new file from being taken up meanwhile.
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        if (::fstatat(at, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino && ::unlinkat(at, entry->d_name, 0) == 0)
            ++removed;
    }
    return removed;
}

bool IsTemporaryName(std::string_view name, std::string_view prefix)
{
    constexpr std::size_t kUnique = 6;
    if (name.size() != prefix.size() + kUnique || name.substr(0, prefix.size()) != prefix)
        return false;
    for (const char c : name.substr(prefix.size())) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

FileError ReplaceFile(const std::string& path, std::string_view bytes, mode_t newFileMode, std::string_view tempPrefix)
{
    std::string target;
    if (FileError error = ResolveTarget(path, target))
        return error;
    mode_t mode = newFileMode & ~kProcessUmask;
    // When the target cannot be examined, making the new file beside it
    // fails too and says why.
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            return FileError::NotRegular(path, existing.st_mode);
        mode = existing.st_mode & 07777;
    }

    TemporaryFile file(FolderOf(target), tempPrefix);
    if (FileError error = file.Finish(bytes, mode))
        return error;
    return file.MoveOver(target);
}

FileError CreateNewFile(const std::string& path, std::string_view bytes, mode_t newFileMode,
                        std::string_view tempPrefix)
{
    TemporaryFile file(FolderOf(path), tempPrefix);
    if (FileError error = file.Finish(bytes, newFileMode & ~kProcessUmask))
        return error;
    return file.MoveToNew(path);
}

}  // namespace platform
