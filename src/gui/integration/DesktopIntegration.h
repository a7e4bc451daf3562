// The desktop integration of the program for one user: a desktop entry that
// offers the program for text and HTML documents with three actions
// ("Convert to PalmDoc", "Convert to zTXT", "Conversion wizard", each starting
// the program with the document and 0, 1 or 2), a Dolphin service menu with
// the same actions, and the same three as scripts for the file managers that
// run scripts from a folder of the user's (Nautilus, Nemo, Caja).
//
// Every file carries a mark. Removal takes away the marked files and nothing
// else; adding never overwrites a file without the mark. A script folder that
// adding had to make gets a marked file of its own, so that removal takes away
// only the folders it made. Doing either twice changes nothing more.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace integration {

// The user's folders of the base directory rules: $XDG_DATA_HOME, else
// ~/.local/share; $XDG_CONFIG_HOME, else ~/.config. A relative path in either
// variable does not count.
struct UserFolders {
    std::string dataHome;
    std::string configHome;
};
UserFolders FoldersFromEnvironment();

struct IntegrationFile {
    std::string path;
    std::string content;
    mode_t mode = 0644;
};

// The files of the integration of `program` (an absolute path). Their paths
// depend on the folders only.
std::vector<IntegrationFile> IntegrationFiles(const std::string& program, const UserFolders& folders);

// What a run did, file by file, and what went wrong.
struct Outcome {
    std::vector<std::string> added;
    std::vector<std::string> removed;
    std::vector<std::string> problems;  // empty when all went well
};

// Writes every file of the integration of `program`, stopping at the first
// problem. Writes nothing when the program is no executable file, its path
// cannot stand in a desktop entry, or a file of the integration exists
// without the mark.
Outcome AddIntegration(const std::string& program, const UserFolders& folders);
// Removes every marked file of the integration, going on past one it cannot
// remove, and the script folders it made once nothing else is in them.
Outcome RemoveIntegration(const UserFolders& folders);

// `argument` as one argument of a desktop entry's Exec line, quoted when it
// must be, and escaped as the entry's string values are.
std::string ExecArgument(std::string_view argument);
// `argument` as one word of a POSIX shell.
std::string ShellWord(std::string_view argument);

}  // namespace integration
