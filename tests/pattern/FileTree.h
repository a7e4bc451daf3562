// Test helpers for the file operations: a private folder tree and the object
// set up to search it.
#pragma once

#include <patternkit/RegularExpression.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/stat.h>

class FileTree {
public:
    FileTree()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "folivo-files-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_root = pattern;
    }
    ~FileTree()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    FileTree(const FileTree&) = delete;
    FileTree& operator=(const FileTree&) = delete;

    std::string Path(const std::string& relative = "") const
    {
        return relative.empty() ? m_root.string() : (m_root / relative).string();
    }
    void Write(const std::string& relative, const std::string& bytes, mode_t mode = 0644) const
    {
        const std::filesystem::path p = m_root / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
        chmod(p.c_str(), mode);
    }
    std::string Read(const std::string& relative) const
    {
        std::ifstream in(m_root / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Entries of the root folder (left-over temporary files show here).
    std::size_t Count() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(m_root),
                                                      std::filesystem::directory_iterator()));
    }

private:
    std::filesystem::path m_root;
};

// An object that searches tree/pattern for expression, replacing with format.
inline void Aim(RegularExpression& re, const FileTree& tree, const std::string& pattern, const std::string& expression,
                  const std::string& format = "")
{
    re.SetFilesToMatch(tree.Path(pattern));
    re.SetExpression(expression);
    re.SetFormatString(format);
}
