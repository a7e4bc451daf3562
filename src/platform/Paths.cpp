#include <platform/Paths.h>

namespace platform {

std::string FolderOf(std::string_view path)
{
    const std::size_t separator = path.rfind('/');
    if (separator == std::string_view::npos)
        return ".";
    return std::string(path.substr(0, separator == 0 ? 1 : separator));
}

std::string FileNameOf(std::string_view path)
{
    const std::size_t separator = path.find_last_of("/\\");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

}  // namespace platform
