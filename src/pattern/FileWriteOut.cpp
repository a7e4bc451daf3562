#include "FileWriteOut.h"

#include "FileEnumeration.h"

#include <platform/Descriptor.h>
#include <platform/Files.h>
#include <platform/Paths.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <locale>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace patternkit {
namespace {

std::atomic<WriteOutFault> g_fault{nullptr};

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

int ToInt(std::size_t offset)
{
    return offset > INT_MAX ? INT_MAX : static_cast<int>(offset);
}

// One file's write-out: the old text, read once, serves the check of the
// changes, the new text, the backup and, when the file is rewritten in place,
// the way back.
class WriteOut {
public:
    WriteOut(const CString& fileName, const CString& saveExtension, FileChangeProblemList& problems)
        : m_fileName(fileName), m_saveExtension(saveExtension), m_problems(problems)
    {
    }

    unsigned Run(const std::vector<PendingChange>& changes)
    {
        return ReadTarget() && MakeNewText(changes) && Replace() ? static_cast<unsigned>(changes.size()) : 0;
    }

private:
    bool Replace()
    {
        // A rename would give the other names of the file the old text.
        if (m_attributes.st_nlink > 1)
            return RewriteInPlace();
        platform::TemporaryFile file(platform::FolderOf(m_target), kTemporaryPrefix);
        const int error = file.Error().code;
        // A folder the user may not write holds a file the user may.
        if (error == EACCES || error == EPERM)
            return RewriteInPlace();
        if (error != 0)
            return Problem(file.Path(), FileChangeProblem::kindCannotCreateTemporary, 0, error);
        return ReplaceByRename(file);
    }

    // Records a problem; false, so that a step can end with it.
    bool Problem(const CString& name, int kind, std::size_t position, int error, CString text = {})
    {
        m_problems.push_back({name, kind, ToInt(position), std::move(text), error});
        return false;
    }

    bool ReadTarget()
    {
        // A symbolic link is followed: the file it names is rewritten and the
        // link stays.
        if (const platform::FileError error = platform::ResolveTarget(m_fileName, m_target))
            return Problem(m_fileName, FileChangeProblem::kindCannotOpen, 0, error.code);
        // O_NONBLOCK: a pipe put in the file's place since the search must
        // not hold the run up; reading refuses it.
        m_in.Reset(open(m_target.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!m_in.IsOpen() || fstat(m_in.Get(), &m_attributes) != 0)
            return Problem(m_fileName, FileChangeProblem::kindCannotOpen, 0, errno);
        if (const platform::FileError error = platform::ReadWholeFile(m_in.Get(), m_old))
            return Problem(m_fileName, FileChangeProblem::kindCannotReadTarget, 0, error.code);
        return true;
    }

    // Checks that every change still finds its text and builds the new text.
    bool MakeNewText(const std::vector<PendingChange>& changes)
    {
        std::size_t copied = 0;
        std::size_t growth = 0;
        for (const PendingChange& change : changes)
            growth += change.replacement.size();
        m_new.reserve(m_old.size() + growth);
        for (const PendingChange& change : changes) {
            const std::size_t offset = static_cast<std::size_t>(change.offset);
            if (offset + change.matched.size() > m_old.size())
                return Problem(m_fileName, FileChangeProblem::kindCannotReadTarget, m_old.size(), 0);
            if (offset < copied || m_old.compare(offset, change.matched.size(), change.matched) != 0)
                return Problem(m_fileName, FileChangeProblem::kindTextChanged, offset, 0, change.matched);
            m_new.append(m_old, copied, offset - copied).append(change.replacement);
            copied = offset + change.matched.size();
        }
        m_new.append(m_old, copied, CString::npos);
        return true;
    }

    // Gives the new file the target's owner and group where the user may;
    // returns the permission bits it may then carry: the set-user-id and
    // set-group-id bits only with the owner and group they were meant for.
    mode_t RestoreOwner(int fd, int& error) const
    {
        mode_t mode = m_attributes.st_mode & 07777;
        error = Fault(WriteOutStep::restoreAttributes, m_fileName);
        if (error != 0)
            return mode & ~(S_ISUID | S_ISGID);
        struct stat now;
        if (fstat(fd, &now) != 0) {
            error = errno;
            return mode & ~(S_ISUID | S_ISGID);
        }
        // Changing the owner clears set-user-id bits, so the mode comes after.
        if (now.st_uid != m_attributes.st_uid && fchown(fd, m_attributes.st_uid, static_cast<gid_t>(-1)) != 0) {
            error = errno;
            mode &= ~S_ISUID;
        }
        if (now.st_gid != m_attributes.st_gid && fchown(fd, static_cast<uid_t>(-1), m_attributes.st_gid) != 0) {
            error = error != 0 ? error : errno;
            mode &= ~S_ISGID;
        }
        return mode;
    }

    // The new text goes to a new file beside the target, which is renamed over
    // it: the target is at every moment the old or the new text.
    bool ReplaceByRename(platform::TemporaryFile& file)
    {
        std::size_t written = 0;
        int error = platform::WriteAll(file.Fd(), m_new, &written).code;
        if (error != 0)
            return Problem(file.Path(), FileChangeProblem::kindCannotWriteTemporary, written, error);
        int ownerError = 0;
        const mode_t mode = RestoreOwner(file.Fd(), ownerError);
        error = Fault(WriteOutStep::temporaryWritten, file.Path());
        if (error == 0)
            error = file.Finish(mode).code;
        if (error != 0)
            return Problem(file.Path(), FileChangeProblem::kindCannotWriteTemporary, written, error);
        if (!MakeBackup())
            return false;
        error = Fault(WriteOutStep::replaceTarget, m_target);
        if (error == 0 && ChangedSinceRead(StatOf(m_target.c_str())))
            return false;
        if (error == 0)
            error = file.MoveOver(m_target).code;
        if (error != 0)
            return Problem(m_fileName, FileChangeProblem::kindCannotReplace, 0, error);
        Fault(WriteOutStep::targetReplaced, m_target);
        // A write in the moment between the check and the rename, or through
        // a descriptor opened before it, reached the old text: it cannot be
        // undone any more, but it is not passed over in silence.
        ChangedSinceRead(StatOf(m_in.Get()));
        if (ownerError != 0)
            Problem(m_fileName, FileChangeProblem::kindCannotRestoreAttributes, 0, ownerError);
        return true;
    }

    // The file's state now, or the errno of asking.
    using State = std::pair<struct stat, int>;
    static State StatOf(const char* path)
    {
        State state{};
        state.second = stat(path, &state.first) == 0 ? 0 : errno;
        return state;
    }
    static State StatOf(int fd)
    {
        State state{};
        state.second = fstat(fd, &state.first) == 0 ? 0 : errno;
        return state;
    }

    // Whether the target is no longer the file that was read, as it was
    // read: another process wrote to it (an append since the read would be
    // lost with the old text) or put another file in its place, or removed
    // it. Such a file is left as that process made it, and recorded.
    bool ChangedSinceRead(const State& now)
    {
        const struct stat& n = now.first;
        const struct stat& r = m_attributes;
        if (now.second == 0 && n.st_dev == r.st_dev && n.st_ino == r.st_ino && n.st_size == r.st_size &&
            n.st_mtim.tv_sec == r.st_mtim.tv_sec && n.st_mtim.tv_nsec == r.st_mtim.tv_nsec)
            return false;
        Problem(m_fileName, FileChangeProblem::kindChangedByAnother, 0, now.second);
        return true;
    }

    bool MakeBackup()
    {
        if (m_saveExtension.empty())
            return true;
        const CString backup = BackupName(m_fileName, m_saveExtension);
        platform::TemporaryFile file(platform::FolderOf(backup), kTemporaryPrefix);
        platform::FileError error = file.Finish(m_old, m_attributes.st_mode & 0777);
        if (!error)
            error = file.MoveOver(backup);
        if (error)
            return Problem(backup, FileChangeProblem::kindCannotBackUp, 0, error.code);
        return true;
    }

    // The target keeps its name, links, owner and permissions, but a process
    // that dies half way leaves half a text: the old text is on disk first, in
    // the backup or else in a copy in the temporary folder that is removed
    // once the new text is on disk.
    bool RewriteInPlace()
    {
        CString copy;  // the copy of the old text in the temporary folder
        if (!m_saveExtension.empty()) {
            if (!MakeBackup())
                return false;
        } else {
            platform::TemporaryFile file(platform::TemporaryFolder(), platform::FileNameOf(m_target) + kOldCopyMark);
            if (const platform::FileError error = file.Finish(m_old, 0600))
                return Problem(error.path, FileChangeProblem::kindCannotBackUp, 0, error.code);
            // From here on the copy outlives an interruption too.
            file.Keep();
            copy = file.Path();
        }
        platform::Descriptor out(open(m_target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
        int error = out.IsOpen() ? Fault(WriteOutStep::replaceTarget, m_target) : errno;
        if (error == 0 && ChangedSinceRead(StatOf(out.Get()))) {
            if (!copy.empty())
                unlink(copy.c_str());
            return false;
        }
        if (error == 0)
            error = Overwrite(out.Get(), m_new);
        // Half a new text is put back to the old one; should that fail too,
        // the problem names where the old text is.
        CString oldTextAt;
        if (error != 0 && out.IsOpen() && Overwrite(out.Get(), m_old) != 0)
            oldTextAt = copy.empty() ? BackupName(m_fileName, m_saveExtension) : copy;
        if (!copy.empty() && oldTextAt.empty())
            unlink(copy.c_str());
        if (error != 0)
            return Problem(m_fileName, FileChangeProblem::kindCannotReplace, 0, error, oldTextAt);
        return true;
    }

    // Makes the open file hold text alone, on disk; 0 or the errno.
    static int Overwrite(int fd, const CString& text)
    {
        if (lseek(fd, 0, SEEK_SET) != 0)
            return errno;
        if (const platform::FileError error = platform::WriteAll(fd, text))
            return error.code;
        if (ftruncate(fd, static_cast<off_t>(text.size())) != 0 || fsync(fd) != 0)
            return errno;
        return 0;
    }

    // The copy of the old text in the temporary folder is named after the
    // file and this mark, so that it can be found should the process die.
    static constexpr char kOldCopyMark[] = ".old-";

    const CString& m_fileName;
    const CString& m_saveExtension;
    FileChangeProblemList& m_problems;
    CString m_target;
    platform::Descriptor m_in;
    struct stat m_attributes {};
    CString m_old;
    CString m_new;
};

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
    return WriteOut(fileName, saveExtension, problems).Run(changes);
}

}  // namespace patternkit
