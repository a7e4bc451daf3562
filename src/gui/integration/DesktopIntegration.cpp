#include "integration/DesktopIntegration.h"

#include <platform/Files.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace integration {

namespace {

// The mark every file of the integration carries, on a comment line.
constexpr std::string_view kMark = "# Folivo Converter desktop integration (removed by folivo-desktop-integration /u)";
constexpr std::string_view kTempPrefix = ".folivo-integration-";
// The folder of the scripts in each file manager's script folder, which
// shows as a submenu.
constexpr std::string_view kScriptFolder = "Folivo Converter";
// The marked file in a script folder that adding made. It is not executable,
// so no file manager offers it as a script.
constexpr std::string_view kFolderMarkName = ".folivo-converter-folder";

struct Action {
    const char* id;    // the desktop entry's name for it
    const char* name;  // what the menus show
    int format;        // the number the program is started with
};
constexpr std::array<Action, 3> kActions = {{
    {"PalmDoc", "Convert to PalmDoc", 0},
    {"zTXT", "Convert to zTXT", 1},
    {"Wizard", "Conversion wizard", 2},
}};

std::string Home()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? user->pw_dir : "/";
}

std::string BaseFolder(const char* variable, const char* underHome)
{
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return value;
    return Home() + "/" + underHome;
}

// Text that a desktop entry can hold: UTF-8 without control characters.
bool FitsDesktopEntry(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            return false;
        std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

// The desktop entry with the three actions; `extra` adds lines to its main group.
std::string DesktopEntry(const std::string& program, std::string_view extra)
{
    const std::string exec = ExecArgument(program);
    std::string entry = std::string(kMark) +
                        "\n[Desktop Entry]\nType=Application\nName=Folivo Converter\n"
                        "GenericName=E-book converter\n"
                        "Comment=Convert text, HTML and EPUB documents into Palm e-books\n"
                        "Icon=folivo-converter\nExec=" +
                        exec + " %f 2\nTerminal=false\nMimeType=text/plain;text/html;application/epub+zip;\nActions=";
    for (const Action& action : kActions)
        entry += std::string(action.id) + ";";
    entry += "\n";
    entry += extra;
    for (const Action& action : kActions)
        entry += "\n[Desktop Action " + std::string(action.id) + "]\nName=" + action.name + "\nExec=" + exec + " %f " +
                 std::to_string(action.format) + "\n";
    return entry;
}

// A file manager's script: the program on each selected document in turn. A
// relative name gets "./", so that a name beginning with '-' is no option.
std::string Script(const std::string& program, const Action& action)
{
    return "#!/bin/sh\n" + std::string(kMark) + "\n# " + action.name +
           " with Folivo Converter, each selected document in turn.\n"
           "for document in \"$@\"; do\n"
           "    case $document in\n"
           "    /*) ;;\n"
           "    *) document=./$document ;;\n"
           "    esac\n"
           "    " +
           ShellWord(program) + " \"$document\" " + std::to_string(action.format) + "\ndone\n";
}

// The folders whose scripts the file managers offer on a file.
std::vector<std::string> ScriptFolders(const UserFolders& folders)
{
    const std::string own = "/" + std::string(kScriptFolder);
    return {folders.dataHome + "/nautilus/scripts" + own, folders.dataHome + "/nemo/scripts" + own,
            folders.configHome + "/caja/scripts" + own};
}

bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsMarked(const std::string& path)
{
    std::string bytes;
    if (platform::ReadWholeFile(path, bytes, 1 << 20))
        return false;
    return bytes.find(kMark) != std::string::npos;
}

std::string FolderMark(const std::string& folder)
{
    return folder + "/" + std::string(kFolderMarkName);
}

// A folder is ours to remove when it holds our mark and nothing else.
bool HoldsOnlyOurMark(const std::string& folder)
{
    const std::string mark = FolderMark(folder);
    if (!IsRegularFile(mark) || !IsMarked(mark))
        return false;
    std::error_code ec;
    for (fs::directory_iterator entry(folder, ec), end; !ec && entry != end; entry.increment(ec))
        if (entry->path() != mark)
            return false;
    return !ec;
}

// Makes the folders of `file` and writes it.
std::string WriteIntegrationFile(const IntegrationFile& file)
{
    std::error_code ec;
    const fs::path folder = fs::path(file.path).parent_path();
    fs::create_directories(folder, ec);
    if (ec)
        return folder.string() + ": " + ec.message();
    if (const platform::FileError error = platform::ReplaceFile(file.path, file.content, file.mode, kTempPrefix))
        return error.Message();
    return {};
}

}  // namespace

UserFolders FoldersFromEnvironment()
{
    return {BaseFolder("XDG_DATA_HOME", ".local/share"), BaseFolder("XDG_CONFIG_HOME", ".config")};
}

std::vector<IntegrationFile> IntegrationFiles(const std::string& program, const UserFolders& folders)
{
    std::vector<IntegrationFile> files;
    files.push_back({folders.dataHome + "/applications/folivo-converter-integration.desktop",
                     DesktopEntry(program, "NoDisplay=true\n"), 0644});
    // Dolphin reads a service menu in the user's folder only when it is executable.
    files.push_back({folders.dataHome + "/kio/servicemenus/folivo-converter.desktop",
                     DesktopEntry(program, "X-KDE-Submenu=Folivo Converter\n"), 0755});
    for (const std::string& folder : ScriptFolders(folders))
        for (const Action& action : kActions)
            files.push_back({folder + "/" + action.name, Script(program, action), 0755});
    return files;
}

Outcome AddIntegration(const std::string& program, const UserFolders& folders)
{
    Outcome outcome;
    const auto stop = [&outcome](std::string problem) {
        outcome.problems.push_back(std::move(problem));
        return outcome;
    };
    std::error_code ec;
    if (!fs::is_regular_file(program, ec))
        return stop(program + ": no such program");
    if (::access(program.c_str(), X_OK) != 0)
        return stop(program + ": not an executable program");
    if (!FitsDesktopEntry(program))
        return stop(program + ": a desktop entry cannot name this path (not UTF-8, or control characters)");
    // The entry's format writes '%' as "%%", but GLib's launchers reject that
    // inside a quoted argument, so such an entry would not load everywhere.
    if (program.find('%') != std::string::npos)
        return stop(program + ": a path with '%' in it is refused: some desktops cannot load an entry naming it");
    std::vector<IntegrationFile> files = IntegrationFiles(program, folders);
    for (const IntegrationFile& file : files) {
        if (fs::exists(fs::symlink_status(file.path, ec)) && !IsMarked(file.path))
            return stop(file.path + ": not written by this integration; left alone");
    }
    // A script folder that is not there yet is made here, and its mark is
    // written before anything else goes into it.
    std::vector<IntegrationFile> marks;
    for (const std::string& folder : ScriptFolders(folders))
        if (!fs::exists(fs::symlink_status(folder, ec)))
            marks.push_back({FolderMark(folder),
                             std::string(kMark) +
                                 "\n# Made for the scripts beside this file; removing the integration removes it.\n",
                             0644});
    files.insert(files.begin(), marks.begin(), marks.end());
    for (const IntegrationFile& file : files) {
        std::string problem = WriteIntegrationFile(file);
        if (!problem.empty())
            return stop(std::move(problem));
        outcome.added.push_back(file.path);
    }
    return outcome;
}

Outcome RemoveIntegration(const UserFolders& folders)
{
    Outcome outcome;
    for (const IntegrationFile& file : IntegrationFiles({}, folders)) {
        // A link or a file without the mark is someone else's.
        if (!IsRegularFile(file.path) || !IsMarked(file.path))
            continue;
        if (::unlink(file.path.c_str()) != 0) {
            outcome.problems.push_back(platform::FileError::System(file.path, errno).Message());
            continue;
        }
        outcome.removed.push_back(file.path);
    }
    // A script folder the user made, or one that holds anything of the
    // user's, stays.
    for (const std::string& folder : ScriptFolders(folders)) {
        if (!HoldsOnlyOurMark(folder))
            continue;
        const std::string mark = FolderMark(folder);
        if (::unlink(mark.c_str()) != 0) {
            outcome.problems.push_back(platform::FileError::System(mark, errno).Message());
        } else if (::rmdir(folder.c_str()) != 0) {
            outcome.problems.push_back(platform::FileError::System(folder, errno).Message());
        } else {
            outcome.removed.push_back(mark);
            outcome.removed.push_back(folder);
        }
    }
    return outcome;
}

std::string ExecArgument(std::string_view argument)
{
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    quoted += '"';
    // The value's own escaping comes on top: a backslash is written twice.
    std::string value;
    for (const char c : quoted) {
        if (c == '\\')
            value += '\\';
        value += c;
    }
    return value;
}

std::string ShellWord(std::string_view argument)
{
    std::string word = "'";
    for (const char c : argument) {
        if (c == '\'')
            word += "'\\''";
        else
            word += c;
    }
    return word + "'";
}

}  // namespace integration
