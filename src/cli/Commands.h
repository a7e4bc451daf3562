// The commands of `folivo`. Each takes the arguments after its own name and
// returns the process's exit status.
#pragma once

#include <string>
#include <vector>

namespace folivo::cli {

// Exit statuses shared by every command.
enum ExitStatus : int {
    kExitOk = 0,
    kExitFailed = 1,  // some work could not be done; each case was reported
    kExitUsage = 2,   // the command line itself was wrong
};

using ArgumentList = std::vector<std::string>;

// A FILE, or the path of -o, that stands for standard input or output.
inline constexpr char kStandardStream[] = "-";

// How messages name the FILE at `path`.
inline std::string StreamName(const std::string& path)
{
    return path == kStandardStream ? "standard input" : path;
}

int RunConvertCommand(const ArgumentList& args);
int RunInfoCommand(const ArgumentList& args);
int RunExtractCommand(const ArgumentList& args);
int RunDefaultsCommand(const ArgumentList& args);
int RunBookmarksCommand(const ArgumentList& args);
int RunCheckCommand(const ArgumentList& args);

}  // namespace folivo::cli
