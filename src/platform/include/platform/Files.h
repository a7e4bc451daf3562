// Reading whole files, and writing files so that nothing is ever left half
// written: a new file is made beside its target and renamed over it only when
// it is complete and on disk.
#pragma once

#include <platform/Descriptor.h>
#include <platform/FileError.h>
#include <platform/Interruption.h>

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace platform {

// Reads the whole regular file at path into bytes, whose capacity then holds
// at least one byte more (room for a terminating zero without a copy). A
// folder, device, pipe or socket is refused before anything is read (it may
// never end), and so is a file of more than maxSize bytes (EFBIG), also one
// that grows past it while being read. Running out of memory gives ENOMEM.
// On failure bytes is empty.
FileError ReadWholeFile(const std::string& path, std::string& bytes,
                        std::uint64_t maxSize = std::numeric_limits<std::uint64_t>::max());
// The same for the file open for reading as fd, read from its start whatever
// the descriptor's offset (which stays as it was). The error has no path.
FileError ReadWholeFile(int fd, std::string& bytes, std::uint64_t maxSize = std::numeric_limits<std::uint64_t>::max());
// Reads the stream fd (a pipe, standard input) to its end into bytes, with
// room for a terminating zero as above: its size is known only at its end.
// More than maxSize bytes give EFBIG. The error has no path.
FileError ReadAll(int fd, std::string& bytes, std::uint64_t maxSize = std::numeric_limits<std::uint64_t>::max());

// Writes all of bytes to fd, retrying after interruptions. A write that stops
// short (a full disk, a size limit) fails with ENOSPC. The error has no path.
// `written`, when given, receives how many bytes went out, also on failure.
FileError WriteAll(int fd, std::string_view bytes, std::size_t* written = nullptr);

// The folder for temporary files: $TMP, else $TEMP, else $TMPDIR, else the C
// library's own; an empty variable counts as unset.
std::string TemporaryFolder();

// A new file with a unique name, created in one step (never a name guessed
// first and opened later) with mode 0600. It is removed when the object goes
// away unless it was moved over a target or kept, and also when SIGINT,
// SIGTERM or SIGHUP ends the process first (see Interruption.h). While the
// object, or the registration Keep returns, lives, the file is locked
// (flock), so that RemoveAbandonedTemporaryFiles leaves it alone.
class TemporaryFile {
public:
    // Creates folder/<prefix>XXXXXX; Error() tells whether that worked.
    TemporaryFile(const std::string& folder, std::string_view prefix);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const FileError& Error() const { return m_error; }
    int Fd() const { return m_fd.Get(); }
    const std::string& Path() const { return m_path; }

    // Gives the file `mode`, puts its bytes on disk and closes it: the first
    // step of replacing a file with it.
    FileError Finish(mode_t mode);
    // Writes all of bytes to the file first; an error names the file.
    FileError Finish(std::string_view bytes, mode_t mode);
    // Writes all of bytes to the file, as Finish does, and closes it without
    // waiting for the disk: for a file that only hands data on and need not
    // outlive a crash.
    FileError Close(std::string_view bytes = {});
    // Renames the finished file over target and syncs the folder, so that
    // the rename lasts too. The file is then the target's and stays.
    FileError MoveOver(const std::string& target);
    // Gives the finished file the name target unless something has that
    // name already (EEXIST, and the file stays temporary), in one step, so
    // that two writers never take one name. The folder is synced as above.
    FileError MoveToNew(const std::string& target);
    // The file stays when the object goes away; its path is the caller's
    // now. The registration returned still removes it should the process be
    // interrupted while it lives: dropped at once, the file stays for good.
    RemovedOnInterrupt Keep();

private:
    // The error of creating the file, else that of writing bytes to it.
    FileError Write(std::string_view bytes);

    std::string m_path;
    Descriptor m_fd;
    FileError m_error;
    bool m_keep = false;
    RemovedOnInterrupt m_removal;
};

// Removes the files TemporaryFile made in folder with prefix that no process
// holds any more: those of a process that was killed (SIGKILL, a crash, a
// power cut), which no handler could remove. Only regular files of this user
// that nobody holds locked are removed, never a file in use, whichever process
// or user it belongs to. Returns how many were removed.
std::size_t RemoveAbandonedTemporaryFiles(const std::string& folder, std::string_view prefix);

// Whether name (a last path component) has the form of the names TemporaryFile
// gives files made with prefix: the prefix and six letters or digits.
bool IsTemporaryName(std::string_view name, std::string_view prefix);

// Where a replacement of path really goes: a symbolic link is followed, so
// that the link stays and the file it leads to is replaced; any other path is
// its own target. A link that leads nowhere is an error.
FileError ResolveTarget(const std::string& path, std::string& target);

// Replaces the file at path by bytes: an existing file is either kept as it
// was or wholly replaced. The new file is made in path's folder, named
// tempPrefix plus six random characters. An existing file keeps its
// permission bits; a new one gets newFileMode. A symbolic link stays a link:
// the file it leads to is replaced. Anything but a regular file (a folder,
// device, pipe or socket) is refused and left alone.
FileError ReplaceFile(const std::string& path, std::string_view bytes, mode_t newFileMode, std::string_view tempPrefix);

// Writes bytes to a new file at path, made whole beside it first as
// ReplaceFile does, with newFileMode: fails with EEXIST, leaving what is there
// alone, when anything already has the name.
FileError CreateNewFile(const std::string& path, std::string_view bytes, mode_t newFileMode,
                        std::string_view tempPrefix);

}  // namespace platform
