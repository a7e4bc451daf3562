// Runs the folivo program in a sandbox of its own: fresh folders for the
// stored defaults, temporary files, HotSync users and documents.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "Databases.h"
#include "TestFiles.h"

#include <palm/EbookReader.h>

#include <sstream>

extern char** environ;

namespace clitest {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

class Sandbox {
public:
    Sandbox()
    {
        for (const char* folder : {"config", "tmp", "hotsync", "docs"})
            fs::create_directory(m_folder.Path() / folder);
    }

    fs::path Docs() const { return m_folder.Path() / "docs"; }
    fs::path Temp() const { return m_folder.Path() / "tmp"; }
    fs::path HotSync() const { return m_folder.Path() / "hotsync"; }

    // A document in the documents folder; returns its path.
    std::string Document(const std::string& name, const std::string& bytes) const
    {
        WriteBytes(Docs() / name, bytes);
        return (Docs() / name).string();
    }

    // `stdoutPath` replaces the captured standard output (e.g. "/dev/full");
    // `stdinPath` the empty standard input.
    RunResult Run(const std::vector<std::string>& args, const char* stdoutPath = nullptr,
                  const char* stdinPath = nullptr) const
    {
        std::vector<std::string> environment = {
            "XDG_CONFIG_HOME=" + (m_folder.Path() / "config").string(),
            "TMP=" + Temp().string(),
            "FOLIVO_HOTSYNC_DIR=" + HotSync().string(),
        };
        for (char** entry = environ; *entry; ++entry) {
            const std::string_view variable = *entry;
            if (!variable.starts_with("XDG_CONFIG_HOME=") && !variable.starts_with("TMP=") &&
                !variable.starts_with("TEMP=") && !variable.starts_with("FOLIVO_HOTSYNC_DIR="))
                environment.emplace_back(variable);
        }
        std::vector<std::string> argv = {FOLIVO_BINARY};
        argv.insert(argv.end(), args.begin(), args.end());

        const fs::path out = m_folder.Path() / "stdout";
        const fs::path err = m_folder.Path() / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, stdinPath ? stdinPath : "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, stdoutPath ? stdoutPath : out.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addchdir_np(&actions, Docs().c_str());

        RunResult result;
        pid_t pid = 0;
        const int spawned =
            posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, Pointers(argv).data(), Pointers(environment).data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(spawned, 0) << "cannot start " << argv[0];
        int wstatus = 0;
        if (spawned == 0 && ::waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus))
            result.status = WEXITSTATUS(wstatus);
        result.out = stdoutPath ? std::string() : ReadBytes(out);
        result.err = ReadBytes(err);
        return result;
    }

    // Runs with `input` as standard input.
    RunResult RunWithInput(const std::vector<std::string>& args, const std::string& input) const
    {
        const fs::path in = m_folder.Path() / "stdin";
        WriteBytes(in, input);
        return Run(args, nullptr, in.c_str());
    }

    // The folder that holds the stored defaults.
    fs::path Config() const { return m_folder.Path() / "config"; }
    fs::path SettingsFile() const { return Config() / "Kavvan Software" / "Folivo Converter.conf"; }
    // A settings file written by hand, holding `values` ("Name=dword:1" lines).
    void WriteSettings(const std::string& values) const
    {
        fs::create_directories(SettingsFile().parent_path());
        WriteBytes(SettingsFile(), "[Software\\Kavvan Software\\Folivo Converter\\Defaults]\n" + values);
    }

private:
    static std::vector<char*> Pointers(std::vector<std::string>& strings)
    {
        std::vector<char*> pointers;
        for (std::string& s : strings)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
        return pointers;
    }

    ScratchFolder m_folder;
};

inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline void SetDefault(const Sandbox& box, const std::string& name, const std::string& value)
{
    ASSERT_EQ(box.Run({"defaults", name, value}).status, 0) << name;
}

// Several stored defaults, each as `folivo defaults NAME VALUE` stores it.
inline void SetDefaults(const Sandbox& box, std::initializer_list<std::pair<std::string, std::string>> values)
{
    for (const auto& [name, value] : values)
        SetDefault(box, name, value);
}

}  // namespace clitest
