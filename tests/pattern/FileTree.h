// Test helpers for the file operations: a private folder tree and the object
// set up to search it.
#pragma once

#include <patternkit/RegularExpression.h>

#include <filesystem>
#include <string>

#include "TestFiles.h"

#include <sys/stat.h>

class FileTree {
public:
    std::string Path(const std::string& relative = "") const
    {
        return relative.empty() ? m_folder.Path().string() : (m_folder.Path() / relative).string();
    }
    void Write(const std::string& relative, const std::string& bytes, mode_t mode = 0644) const
    {
        const std::filesystem::path p = m_folder.Path() / relative;
        std::filesystem::create_directories(p.parent_path());
        WriteBytes(p, bytes);
        chmod(p.c_str(), mode);
    }
    std::string Read(const std::string& relative) const { return ReadBytes(m_folder.Path() / relative); }
    // Entries of the root folder (left-over temporary files show here).
    std::size_t Count() const { return FileNamesIn(m_folder.Path()).size(); }

private:
    ScratchFolder m_folder;
};

// An object that searches tree/pattern for expression, replacing with format.
inline void Aim(RegularExpression& re, const FileTree& tree, const std::string& pattern, const std::string& expression,
                const std::string& format = "")
{
    re.SetFilesToMatch(tree.Path(pattern));
    re.SetExpression(expression);
    re.SetFormatString(format);
}
