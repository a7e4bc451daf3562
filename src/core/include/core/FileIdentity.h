// One file under every name it goes by, so that a database is never written
// over the document it is made from.
#pragma once

#include <core/Error.h>
#include <framework/CString.h>

#include <sys/types.h>

#include <compare>
#include <string>

namespace folivo {

// An existing file stands for itself by its device and inode, whatever path
// (a symbolic link, a hard link, another spelling) names it; a file that
// does not exist yet by its absolute path, with the links of its folders
// followed.
class FileIdentity {
public:
    explicit FileIdentity(const CString& path);
    auto operator<=>(const FileIdentity&) const = default;

private:
    dev_t m_device = 0;
    ino_t m_inode = 0;
    std::string m_path;
};

// Why `source` must not be converted into `output`: the database would
// replace the document itself. Success when they are different files.
Error DatabaseReplacesDocument(const CString& source, const CString& output);

}  // namespace folivo
