#include <platform/FileError.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace platform {

FileError FileError::NotRegular(std::string path, unsigned mode)
{
    FileError error = System(std::move(path), S_ISDIR(mode) ? EISDIR : EINVAL);
    error.notRegularFile = true;
    return error;
}

std::string FileError::Reason() const
{
    return notRegularFile && code != EISDIR ? "not a regular file" : std::strerror(code);
}

std::string FileError::Message() const
{
    return path.empty() ? Reason() : path + ": " + Reason();
}

}  // namespace platform
