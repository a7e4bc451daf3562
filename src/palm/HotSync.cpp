#include <palm/EbookReader.h>
#include <palm/HotSync.h>
#include <platform/Paths.h>

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "Files.h"

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
    return StoreDatabase(queue + "/" + fileName, database);
}

}  // namespace palm
