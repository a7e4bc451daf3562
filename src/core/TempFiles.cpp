#include "TempFiles.h"

#include <platform/Files.h>

namespace folivo {

namespace {

platform::FileError WriteInFolder(std::string_view bytes, const CString& folder, CString& path)
{
    platform::TemporaryFile file(folder, "folivo-");
    if (platform::FileError error = file.Close(bytes))
        return error;
    file.Keep();
    path = file.Path();
    return {};
}

}  // namespace

Error WriteTemporaryFile(std::string_view bytes, const CString& fallbackFolder, CString& path)
{
    const platform::FileError inTemporary = WriteInFolder(bytes, platform::TemporaryFolder(), path);
    if (!inTemporary)
        return {};
    const platform::FileError inFallback = WriteInFolder(bytes, fallbackFolder, path);
    if (!inFallback)
        return {};
    return Error::Failure(inTemporary.Message() + "; " + inFallback.Message());
}

}  // namespace folivo
