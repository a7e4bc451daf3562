#include "FileWriteOut.h"

#include <platform/Descriptor.h>
#include <platform/Files.h>
#include <platform/Paths.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <locale>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace patternkit {
namespace {

std::atomic<WriteOutFault> g_fault{nullptr};

// The new text is written beside its file under this name, hidden.
constexpr char kTemporaryPrefix[] = ".changing-";

int Fault(WriteOutStep step, const std::string& path)
{
    const WriteOutFault fault = g_fault.load();
    return fault ? fault(step, path.c_str()) : 0;
}

std::size_t LastComponentStart(const CString& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == CString::npos ? 0 : slash + 1;
}

// The position of the extension's ".", or npos.
std::size_t ExtensionDot(const CString& path)
{
    const std::size_t dot = path.rfind('.');
    return dot == CString::npos || dot < LastComponentStart(path) ? CString::npos : dot;
}

// A failed read, short read or failed write, with the offset it happened at.
struct CopyFailure {
    bool inRead;
    int error;  // 0 for a short read
};

// Reads exactly size bytes (fewer only at the end of the file).
ssize_t ReadFull(int fd, char* buffer, std::size_t size)
{
    std::size_t have = 0;
    while (have < size) {
        const ssize_t n = read(fd, buffer + have, size - have);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        have += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(have);
}

// Copies between two descriptors, keeping count of both offsets.
class Copier {
public:
    Copier(int in, int out) : m_in(in), m_out(out) {}

    std::size_t ReadOffset() const { return m_read; }
    std::size_t WriteOffset() const { return m_written; }

    // Copies count bytes; with count npos, up to the end of the input.
    std::optional<CopyFailure> Copy(std::size_t count)
    {
        char buffer[65536];
        while (count > 0) {
            const std::size_t want = std::min(count, sizeof buffer);
            const ssize_t n = ReadFull(m_in, buffer, want);
            if (n < 0)
                return CopyFailure{true, errno};
            if (static_cast<std::size_t>(n) < want && count != CString::npos) {
                m_read += static_cast<std::size_t>(n);
                return CopyFailure{true, 0};
            }
            if (auto failure = Write(buffer, static_cast<std::size_t>(n)))
                return failure;
            m_read += static_cast<std::size_t>(n);
            if (static_cast<std::size_t>(n) < want)
                break;
            if (count != CString::npos)
                count -= static_cast<std::size_t>(n);
        }
        return std::nullopt;
    }

    // Reads size bytes of the input into text, fewer only at its end.
    std::optional<CopyFailure> Read(std::size_t size, CString& text)
    {
        text.resize(size);
        const ssize_t n = ReadFull(m_in, text.data(), size);
        if (n < 0)
            return CopyFailure{true, errno};
        m_read += static_cast<std::size_t>(n);
        if (static_cast<std::size_t>(n) < size)
            return CopyFailure{true, 0};
        return std::nullopt;
    }

    std::optional<CopyFailure> Write(const char* data, std::size_t size)
    {
        std::size_t done = 0;
        const platform::FileError error = platform::WriteAll(m_out, std::string_view(data, size), &done);
        m_written += done;
        if (error)
            return CopyFailure{false, error.code};
        return std::nullopt;
    }

private:
    int m_in;
    int m_out;
    std::size_t m_read = 0;
    std::size_t m_written = 0;
};

// The permission bits, owner and group of the target given to the new file.
int RestoreAttributes(int fd, const struct stat& target, const CString& name)
{
    if (const int error = Fault(WriteOutStep::restoreAttributes, name))
        return error;
    struct stat now;
    if (fstat(fd, &now) != 0)
        return errno;
    // Changing the owner clears set-user-id bits, so it comes first.
    if ((now.st_uid != target.st_uid || now.st_gid != target.st_gid) && fchown(fd, target.st_uid, target.st_gid) != 0)
        return errno;
    return fchmod(fd, target.st_mode & 07777) == 0 ? 0 : errno;
}

// Copies the whole of the open target to the backup through a temporary file
// of its own; 0 or the errno.
int MakeBackup(int targetFd, const struct stat& target, const CString& backup)
{
    platform::TemporaryFile copy(platform::FolderOf(backup), kTemporaryPrefix);
    if (copy.Error())
        return copy.Error().code;
    if (lseek(targetFd, 0, SEEK_SET) != 0)
        return errno;
    Copier copier(targetFd, copy.Fd());
    if (const auto failure = copier.Copy(CString::npos))
        return failure->error != 0 ? failure->error : EIO;
    if (const platform::FileError error = copy.Finish(target.st_mode & 0777))
        return error.code;
    return copy.MoveOver(backup).code;
}

int ToInt(std::size_t offset)
{
    return offset > INT_MAX ? INT_MAX : static_cast<int>(offset);
}

}  // namespace

void SetWriteOutFault(WriteOutFault fault)
{
    g_fault.store(fault);
}

CString BackupName(const CString& fileName, const CString& saveExtension)
{
    const std::size_t dot = ExtensionDot(fileName);
    return (dot == CString::npos ? fileName : fileName.substr(0, dot)) + "." + saveExtension;
}

bool HasExtension(const CString& fileName, const CString& extension)
{
    const std::size_t dot = ExtensionDot(fileName);
    if (extension.empty() || dot == CString::npos || fileName.size() - dot - 1 != extension.size())
        return false;
    const std::locale global;
    for (std::size_t i = 0; i < extension.size(); ++i) {
        if (std::toupper(fileName[dot + 1 + i], global) != std::toupper(extension[i], global))
            return false;
    }
    return true;
}

bool IsReadOnly(const CString& fileName)
{
    struct stat info;
    if (stat(fileName.c_str(), &info) != 0)
        return false;  // the write-out reports why it cannot open the file
    return (info.st_mode & S_IWUSR) == 0 || access(fileName.c_str(), W_OK) != 0;
}

unsigned WriteOutChanges(const CString& fileName, const std::vector<PendingChange>& changes,
                         const CString& saveExtension, FileChangeProblemList& problems)
{
    auto problem = [&](const CString& name, int kind, std::size_t position, int error, CString text = {}) {
        problems.push_back({name, kind, ToInt(position), std::move(text), error});
        return 0u;
    };
    // A symbolic link is followed: the file it names is rewritten and the
    // link stays.
    char* resolved = realpath(fileName.c_str(), nullptr);
    const CString target = resolved ? CString(resolved) : fileName;
    std::free(resolved);

    platform::Descriptor in(open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    struct stat attributes;
    if (in.Get() < 0 || fstat(in.Get(), &attributes) != 0)
        return problem(fileName, FileChangeProblem::kindCannotOpen, 0, errno);
    platform::TemporaryFile out(platform::FolderOf(target), kTemporaryPrefix);
    if (out.Error())
        return problem(out.Path(), FileChangeProblem::kindCannotCreateTemporary, 0, out.Error().code);

    Copier copier(in.Get(), out.Fd());
    auto copyProblem = [&](const CopyFailure& failure) {
        return failure.inRead
                   ? problem(fileName, FileChangeProblem::kindCannotReadTarget, copier.ReadOffset(), failure.error)
                   : problem(out.Path(), FileChangeProblem::kindCannotWriteTemporary, copier.WriteOffset(),
                             failure.error);
    };
    CString seen;
    for (const PendingChange& change : changes) {
        const std::size_t offset = static_cast<std::size_t>(change.offset);
        if (offset < copier.ReadOffset())
            return problem(fileName, FileChangeProblem::kindTextChanged, offset, 0, change.matched);
        if (const auto failure = copier.Copy(offset - copier.ReadOffset()))
            return copyProblem(*failure);
        if (const auto failure = copier.Read(change.matched.size(), seen))
            return copyProblem(*failure);
        if (seen != change.matched)
            return problem(fileName, FileChangeProblem::kindTextChanged, offset, 0, change.matched);
        if (const auto failure = copier.Write(change.replacement.data(), change.replacement.size()))
            return copyProblem(*failure);
    }
    if (const auto failure = copier.Copy(CString::npos))
        return copyProblem(*failure);

    const int attributeError = RestoreAttributes(out.Fd(), attributes, fileName);
    int error = Fault(WriteOutStep::temporaryWritten, out.Path());
    if (error == 0)
        error = out.Finish(attributes.st_mode & 07777).code;
    if (error != 0)
        return problem(out.Path(), FileChangeProblem::kindCannotWriteTemporary, copier.WriteOffset(), error);

    if (!saveExtension.empty()) {
        const CString backup = BackupName(fileName, saveExtension);
        if (const int backupError = MakeBackup(in.Get(), attributes, backup))
            return problem(backup, FileChangeProblem::kindCannotBackUp, 0, backupError);
    }
    error = Fault(WriteOutStep::replaceTarget, target);
    if (error == 0)
        error = out.MoveOver(target).code;
    if (error != 0)
        return problem(fileName, FileChangeProblem::kindCannotReplace, 0, error);
    if (attributeError != 0)
        problem(fileName, FileChangeProblem::kindCannotRestoreAttributes, 0, attributeError);
    return static_cast<unsigned>(changes.size());
}

}  // namespace patternkit
