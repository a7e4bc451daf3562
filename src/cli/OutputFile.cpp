#include "OutputFile.h"

#include <platform/Files.h>

namespace folivo::cli {

Error ReplaceFile(const std::string& path, std::string_view bytes)
{
    const platform::FileError error = platform::ReplaceFile(path, bytes, 0666, ".folivo-");
    if (!error)
        return {};
    if (error.creatingFile)
        return Error::Failure("cannot create a file in the folder of '" + path + "': " + error.Reason());
    return Error::Failure("cannot write '" + path + "': " + error.Reason());
}

}  // namespace folivo::cli
