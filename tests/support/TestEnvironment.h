// Test helpers: environment variables restored afterwards, a settings store
// and folders for documents, temporary files and HotSync of the test's own
// and, for suites that know where it is, the book corpus.
#pragma once

#include "TestFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Sets, or with nullopt removes, an environment variable for its lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        Apply(value);
    }
    ~ScopedEnv() { Apply(m_old); }

private:
    void Apply(const std::optional<std::string>& value)
    {
        value ? setenv(m_name.c_str(), value->c_str(), 1) : unsetenv(m_name.c_str());
    }
    std::string m_name;
    std::optional<std::string> m_old;
};

// XDG_CONFIG_HOME points into a scratch folder while the object lives.
class IsolatedStore {
public:
    std::filesystem::path Folder() const { return m_home.Path() / "Kavvan Software"; }
    std::filesystem::path File() const { return Folder() / "Folivo Converter.conf"; }

private:
    ScratchFolder m_home;
    ScopedEnv m_env{"XDG_CONFIG_HOME", m_home.Path().string()};
};

// A documents folder, a temporary folder (TMP) and a HotSync folder
// (FOLIVO_HOTSYNC_DIR) of the test's own, so that a conversion touches
// nothing of the user's.
class DocumentSandbox {
public:
    DocumentSandbox()
    {
        for (const std::filesystem::path& folder : {Docs(), Tmp(), HotSync()})
            std::filesystem::create_directory(folder);
    }

    std::filesystem::path Root() const { return m_root.Path(); }
    std::filesystem::path Docs() const { return m_root.Path() / "docs"; }
    std::filesystem::path Tmp() const { return m_root.Path() / "tmp"; }
    std::filesystem::path HotSync() const { return m_root.Path() / "hotsync"; }
    // Writes `bytes` to the document `name` and gives its path.
    std::string Document(const std::string& name, const std::string& bytes) const
    {
        WriteBytes(Docs() / name, bytes);
        return (Docs() / name).string();
    }

private:
    ScratchFolder m_root;
    ScopedEnv m_tmp{"TMP", Tmp().string()};
    ScopedEnv m_hotSync{"FOLIVO_HOTSYNC_DIR", HotSync().string()};
};

#ifdef FOLIVO_TEST_CORPUS_DIR
// The books of the corpus (.txt and .htm), sorted; none when its folder is missing.
inline std::vector<std::filesystem::path> CorpusBooks()
{
    std::vector<std::filesystem::path> books;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(FOLIVO_TEST_CORPUS_DIR, ec)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".txt" || ext == ".htm")
            books.push_back(entry.path());
    }
    std::sort(books.begin(), books.end());
    return books;
}
#endif
