#include "TempFiles.h"

#include <platform/Files.h>

namespace folivo {

namespace {

platform::FileError WriteInFolder(std::string_view bytes, const CString& folder, CString& path,
                                  platform::RemovedOnInterrupt& removal)
{
    platform::TemporaryFile file(folder, "folivo-");
    if (platform::FileError error = file.Close(bytes))
        return error;
    removal = file.Keep();
    path = file.Path();
    return {};
}

}  // namespace

Error WriteTemporaryFile(std::string_view bytes, const CString& fallbackFolder, CString& path,
                         platform::RemovedOnInterrupt& removal)
{
    const platform::FileError inTemporary = WriteInFolder(bytes, platform::TemporaryFolder(), path, removal);
    if (!inTemporary)
        return {};
    const platform::FileError inFallback = WriteInFolder(bytes, fallbackFolder, path, removal);
    if (!inFallback)
        return {};
    return Error::Failure(inTemporary.Message() + "; " + inFallback.Message());
}

}  // namespace folivo
