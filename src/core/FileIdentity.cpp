#include <core/FileIdentity.h>

#include <sys/stat.h>

#include <filesystem>

namespace folivo {

FileIdentity::FileIdentity(const CString& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        m_device = st.st_dev;
        m_inode = st.st_ino;
        return;
    }
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    m_path = error ? std::filesystem::absolute(path, error).lexically_normal().string() : resolved.string();
}

Error DatabaseReplacesDocument(const CString& source, const CString& output)
{
    if (FileIdentity(source) != FileIdentity(output))
        return {};
    return Error::Failure("its database would replace the document itself ('" + output + "')");
}

}  // namespace folivo
