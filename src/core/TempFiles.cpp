#include "TempFiles.h"

#include <platform/Files.h>

#include <mutex>
#include <set>
#include <string>

namespace folivo {

namespace {

constexpr char kPrefix[] = "folivo-";

// The files of runs that were killed go when a run first writes to their
// folder: once per folder, and never a file that a live run holds.
void RemoveAbandonedFiles(const std::string& folder)
{
    static std::mutex mutex;
    static std::set<std::string> swept;
    {
        const std::lock_guard lock(mutex);
        if (!swept.insert(folder).second)
            return;
    }
    platform::RemoveAbandonedTemporaryFiles(folder, kPrefix);
}

platform::FileError WriteInFolder(std::string_view bytes, const CString& folder, CString& path,
                                  platform::RemovedOnInterrupt& removal)
{
    platform::TemporaryFile file(folder, kPrefix);
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
    const std::string temporaryFolder = platform::TemporaryFolder();
    RemoveAbandonedFiles(temporaryFolder);
    const platform::FileError inTemporary = WriteInFolder(bytes, temporaryFolder, path, removal);
    if (!inTemporary)
        return {};
    const platform::FileError inFallback = WriteInFolder(bytes, fallbackFolder, path, removal);
    if (!inFallback)
        return {};
    return Error::Failure(inTemporary.Message() + "; " + inFallback.Message());
}

}  // namespace folivo
