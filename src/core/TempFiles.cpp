#include <core/TempFiles.h>

#include <cerrno>
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
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    bool ok = close(fd) == 0 && done == bytes.size();
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
#ifdef P_tmpdir
    return P_tmpdir;
#else
    return "/tmp";
#endif
}

CString WriteTemporaryFile(std::string_view bytes, const CString& fallbackFolder)
{
    CString path;
    if (WriteInFolder(bytes, TemporaryFolder(), path) || WriteInFolder(bytes, fallbackFolder, path))
        return path;
    return CString();
}
