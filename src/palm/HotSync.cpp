#include <palm/EbookReader.h>
#include <palm/HotSync.h>
#include <platform/Descriptor.h>
#include <platform/Paths.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>

#include "ByteOrder.h"
#include "Files.h"
#include "PdbContainer.h"

namespace palm {

namespace {

constexpr std::size_t kMaxNameBytes = 254;  // plus NUL in the 255-byte buffer

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool IsDirectory(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The name the hand-held knows a database by; none for a file too short to
// be a database.
std::optional<std::string> DatabaseName(std::string_view bytes)
{
    if (bytes.size() < kPdbHeaderSize)
        return std::nullopt;
    return FixedName(bytes.substr(0, kPdbNameField));
}

// The database name of the queued file at path; none for anything but a
// regular file that can be read and holds a header.
std::optional<std::string> QueuedName(const std::string& path)
{
    const platform::Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK));
    struct stat info {};
    if (!fd.IsOpen() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    char header[kPdbHeaderSize];
    const ssize_t n = ::pread(fd.Get(), header, sizeof header, 0);
    return n < 0 ? std::nullopt : DatabaseName(std::string_view(header, static_cast<std::size_t>(n)));
}

// "a.pdb" as the number-th of its name: "a-2.pdb".
std::string Numbered(const std::string& fileName, unsigned number)
{
    const std::size_t dot = fileName.rfind('.');
    const std::size_t stemEnd = dot == std::string::npos || dot == 0 ? fileName.size() : dot;
    return fileName.substr(0, stemEnd) + "-" + std::to_string(number) + fileName.substr(stemEnd);
}

// The databases this process queued, by queue path: the database file each
// came from. Two documents of one file name and one title converted in one
// run are two books, not one queued twice. The lock is held while a database
// is queued, so that one run's conversions see each other's.
struct QueuedHere {
    std::mutex mutex;
    std::map<std::string, std::string> sources;
};

QueuedHere& TheQueuedHere()
{
    static QueuedHere queued;
    return queued;
}

// Queue, with the lock of what this process queued held.
Result QueueAs(const std::string& queue, const std::string& fileName, const std::string& source,
               std::string_view database, const std::optional<std::string>& name, std::string& queuedAs,
               const std::map<std::string, std::string>& queuedHere)
{
    constexpr unsigned kMostNumbers = 1000;
    for (unsigned number = 1, takenMeanwhile = 0; number <= kMostNumbers && takenMeanwhile < kMostNumbers;) {
        queuedAs = number == 1 ? fileName : Numbered(fileName, number);
        const std::string path = queue + "/" + queuedAs;
        if (struct stat info{}; ::lstat(path.c_str(), &info) != 0) {
            if (errno != ENOENT)
                return {Status::OutputWriteFailed, path + ": " + std::generic_category().message(errno)};
            bool taken = false;
            if (Result stored = StoreNewDatabase(path, database, taken); !taken)
                return stored;
            ++takenMeanwhile;  // by another conversion: what is it?
            continue;
        }
        const auto here = queuedHere.find(path);
        if (name && QueuedName(path) == name && (here == queuedHere.end() || here->second == source))
            return StoreDatabase(path, database);
        ++number;
    }
    return {Status::OutputWriteFailed, queue + ": no free name for " + fileName};
}

// Stores the database in the queue under fileName, or when that is taken by
// another book, the first of "a-2.pdb", "a-3.pdb" ... that is free. A queued
// database of the same database name (the book queued before, which the
// hand-held would replace anyway) is replaced in its place, unless this
// process queued it from another file; any other file is left alone. Names
// are taken in one step, so that conversions running at once never store two
// books under one name.
Result Queue(const std::string& queue, const std::string& fileName, const std::string& source,
             std::string_view database, const std::optional<std::string>& name, std::string& queuedAs)
{
    QueuedHere& here = TheQueuedHere();
    const std::lock_guard lock(here.mutex);
    Result stored = QueueAs(queue, fileName, source, database, name, queuedAs, here.sources);
    if (stored.Ok())
        here.sources[queue + "/" + queuedAs] = source;
    return stored;
}

// The result of queueing a database named `name` as queuedAs: a warning when
// other queued databases carry the same name.
Result SameNameCheck(const std::string& queue, const std::string& name, const std::string& queuedAs)
{
    std::vector<std::string> others;
    std::error_code error;
    for (std::filesystem::directory_iterator it(queue, error), end; !error && it != end; it.increment(error)) {
        const std::string entry = it->path().filename().string();
        // Hidden names are databases still being written.
        if (!entry.empty() && entry.front() != '.' && entry != queuedAs && QueuedName(it->path().string()) == name)
            others.push_back(entry);
    }
    if (others.empty())
        return {};
    std::sort(others.begin(), others.end());
    std::string detail = "\"" + name + "\", the name of " + queuedAs + ", is also that of";
    for (std::size_t i = 0; i < others.size(); ++i)
        detail += (i == 0 ? " " : ", ") + others[i];
    return {Status::SameNameQueued, detail};
}

}  // namespace

std::string HotSyncFolder()
{
    if (std::string folder = Environment("FOLIVO_HOTSYNC_DIR"); !folder.empty())
        return folder;
    std::string data = Environment("XDG_DATA_HOME");
    // The base directory rules ignore a relative XDG_DATA_HOME.
    if (data.empty() || data.front() != '/') {
        const std::string home = Environment("HOME");
        if (home.empty())
            return "";
        data = home + "/.local/share";
    }
    return data + "/Kavvan Software/HotSync";
}

Result ListHandheldUsers(std::vector<std::string>& names)
{
    names.clear();
    const std::string folder = HotSyncFolder();
    if (folder.empty() || !IsDirectory(folder))
        return {Status::HotSyncFolderMissing, folder};
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.' || name.size() > kMaxNameBytes)
            continue;
        if (it->is_directory(error))
            names.push_back(name);
    }
    if (error)
        return {Status::HotSyncFolderMissing, folder + ": " + error.message()};
    std::sort(names.begin(), names.end());
    return {};
}

std::uint32_t HandheldUserId(std::string_view name)
{
    const std::uint32_t crc = static_cast<std::uint32_t>(
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(name.data()), static_cast<uInt>(name.size())));
    return crc == 0 ? 1 : crc;
}

Result InstallDatabase(std::string_view user, const std::string& databasePath)
{
    // The name comes from free text in the dialog: it must name one folder
    // directly inside the HotSync folder and nothing else.
    if (user.empty() || user == "." || user == ".." || user.find_first_of("/\\") != std::string_view::npos)
        return {Status::InvalidUserName, "\"" + std::string(user) + "\""};
    const std::string folder = HotSyncFolder();
    if (folder.empty() || !IsDirectory(folder))
        return {Status::HotSyncFolderMissing, folder};
    const std::string userFolder = folder + "/" + std::string(user);
    if (!IsDirectory(userFolder))
        return {Status::NoSuchUser, std::string(user)};

    const std::string fileName = platform::FileNameOf(databasePath);
    if (fileName.empty() || fileName == "." || fileName == "..")
        return {Status::InvalidArgument, "database path " + databasePath};
    std::string database;
    if (Result read = ReadInput(databasePath, database, Status::DatabaseUnreadable, kMaxDatabaseFile); !read.Ok())
        return read;

    const std::string queue = userFolder + "/Install";
    if (::mkdir(queue.c_str(), 0755) != 0 && errno != EEXIST)
        return {Status::OutputFolderUnwritable, queue + ": " + std::generic_category().message(errno)};
    const std::optional<std::string> name = DatabaseName(database);
    std::string queuedAs;
    std::error_code error;
    const std::string source = std::filesystem::absolute(databasePath, error).lexically_normal().string();
    if (Result stored = Queue(queue, fileName, source, database, name, queuedAs); !stored.Ok())
        return stored;
    return name ? SameNameCheck(queue, *name, queuedAs) : Result{};
}

}  // namespace palm
