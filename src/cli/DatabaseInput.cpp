#include "DatabaseInput.h"

#include "Commands.h"

#include <platform/Files.h>

#include <unistd.h>

namespace folivo::cli {

palm::Result ReadDatabase(const std::string& path, palm::EbookInfo& info)
{
    if (path != kStandardStream)
        return palm::ReadEbookFile(path, info);
    std::string bytes;
    if (palm::Result read = ReadDatabaseBytes(path, bytes); !read.Ok())
        return read;
    return palm::ReadEbook(bytes, info);
}

palm::Result ReadDatabaseBytes(const std::string& path, std::string& bytes)
{
    const platform::FileError error = path == kStandardStream
                                          ? platform::ReadAll(STDIN_FILENO, bytes, palm::kMaxDatabaseFile)
                                          : platform::ReadWholeFile(path, bytes, palm::kMaxDatabaseFile);
    if (error)
        return {palm::Status::DatabaseUnreadable, error.Reason()};
    return {};
}

}  // namespace folivo::cli
