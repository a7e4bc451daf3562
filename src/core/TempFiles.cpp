#include <core/TempFiles.h>
#include <palm/FileReplacement.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

CString NonEmptyVariable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? CString(value) : CString();
}

bool WriteInFolder(std::string_view bytes, const CString& folder, CString& path)
{
    path = folder.empty() ? CString(".") : folder;
    if (path.back() != '/' && path.back() != '\\')
        path.append(1, '/');
    path.append("folivo-XXXXXX");
    int fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = palm::WriteAll(fd, bytes);
    ok = close(fd) == 0 && ok;
    if (!ok)
        unlink(path.c_str());
    return ok;
}

}  // namespace

CString TemporaryFolder()
{
    for (const char* variable : {"TMP", "TEMP"}) {
        CString folder = NonEmptyVariable(variable);
        if (!folder.empty())
            return folder;
    }
    // The C library's own folder for temporary files.
    return P_tmpdir;
}

CString WriteTemporaryFile(std::string_view bytes, const CString& fallbackFolder)
{
    CString path;
    if (WriteInFolder(bytes, TemporaryFolder(), path) || WriteInFolder(bytes, fallbackFolder, path))
        return path;
    return CString();
}
