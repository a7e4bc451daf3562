#include "Files.h"

#include <platform/Files.h>

namespace palm {

Result StoreDatabase(const std::string& path, std::string_view bytes)
{
    // A short hidden name: a long output name plus a suffix could pass the file
    // system's name limit. The database is an ordinary document, readable by all.
    const platform::FileError error = platform::ReplaceFile(path, bytes, 0644, ".folivo-");
    if (!error)
        return {};
    return {error.creatingFile ? Status::OutputFolderUnwritable : Status::OutputWriteFailed, error.Message()};
}

Result ReadInput(const std::string& path, std::string& bytes, Status status, std::uint64_t maxSize)
{
    if (const platform::FileError error = platform::ReadWholeFile(path, bytes, maxSize))
        return {status, error.Message()};
    return {};
}

}  // namespace palm
