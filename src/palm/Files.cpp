#include "Files.h"

#include <platform/Files.h>

#include <cerrno>

namespace palm {

namespace {

// A short hidden name: a long output name plus a suffix could pass the file
// system's name limit. The database is an ordinary document, readable by all.
constexpr char kTemporaryPrefix[] = ".folivo-";
constexpr mode_t kDatabaseMode = 0644;

Result Stored(const platform::FileError& error)
{
    if (!error)
        return {};
    return {error.creatingFile ? Status::OutputFolderUnwritable : Status::OutputWriteFailed, error.Message()};
}

}  // namespace

Result StoreDatabase(const std::string& path, std::string_view bytes)
{
    return Stored(platform::ReplaceFile(path, bytes, kDatabaseMode, kTemporaryPrefix));
}

Result StoreNewDatabase(const std::string& path, std::string_view bytes, bool& nameTaken)
{
    const platform::FileError error = platform::CreateNewFile(path, bytes, kDatabaseMode, kTemporaryPrefix);
    nameTaken = error.code == EEXIST;
    return nameTaken ? Result{} : Stored(error);
}

Result ReadInput(const std::string& path, std::string& bytes, Status status, std::uint64_t maxSize)
{
    if (const platform::FileError error = platform::ReadWholeFile(path, bytes, maxSize))
        return {status, error.Message()};
    return {};
}

}  // namespace palm
