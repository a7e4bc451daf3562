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
    if (const platform::FileError error = platform::ReadAll(STDIN_FILENO, bytes, palm::kMaxDatabaseFile))
        return {palm::Status::DatabaseUnreadable, error.Reason()};
    return palm::ReadEbook(bytes, info);
}

}  // namespace folivo::cli
