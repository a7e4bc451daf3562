// Test helpers shared by every suite: a private folder removed afterwards,
// whole-file reads and writes, and what a folder or a file holds.
#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The system temporary folder as the process started: a test that points TMP
// into one scratch folder does not get the next ones made inside it.
inline const std::filesystem::path kScratchRoot = std::filesystem::temp_directory_path();

// A fresh folder under the system temporary folder, removed with everything
// in it, even folders a test made read-only.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (kScratchRoot / "folivo-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~ScratchFolder()
    {
        if (m_path.empty())
            return;
        AllowOwner(m_path);
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The path of a name inside the folder.
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

private:
    // Gives the owner back every folder a test made read-only, so that the
    // whole tree can be removed.
    static void AllowOwner(const std::filesystem::path& folder)
    {
        std::error_code ignored;
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        // Stepped with an error code: a throwing step would end the destructor.
        std::filesystem::directory_iterator it(folder, ignored), end;
        for (; it != end; it.increment(ignored))
            if (it->is_directory(ignored) && !it->is_symlink(ignored))
                AllowOwner(it->path());
    }

    std::filesystem::path m_path;
};

inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The names in a folder, sorted; left-over temporary files show here.
inline std::vector<std::string> FileNamesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A file's permission bits; 0 when there is no file.
inline mode_t ModeOf(const std::filesystem::path& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}
