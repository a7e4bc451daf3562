// folivo: the headless command line of the converter.
#include "Commands.h"
#include "Usage.h"

#include <algorithm>
#include <cstdio>
#include <malloc.h>

namespace folivo::cli {
namespace {

// --help anywhere among a command's options shows the help instead.
bool AsksForHelp(const ArgumentList& args)
{
    const auto end = std::find(args.begin(), args.end(), "--");
    return std::find(args.begin(), end, "--help") != end;
}

int Dispatch(const ArgumentList& args)
{
    if (args.empty())
        return UsageError("no command given");
    const std::string& command = args[0];
    const ArgumentList rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        // "help COMMAND" shows that command's part, as "COMMAND --help" does.
        if (PrintHelp(rest.empty() ? std::string_view() : rest[0]))
            return kExitOk;
        return UsageError("no command is named '" + rest[0] + "'");
    }
    if (command == "--version") {
        PrintVersion();
        return kExitOk;
    }
    if (AsksForHelp(rest) && PrintHelp(command))
        return kExitOk;
    if (command == "convert")
        return RunConvertCommand(rest);
    if (command == "info")
        return RunInfoCommand(rest);
    if (command == "extract")
        return RunExtractCommand(rest);
    if (command == "defaults")
        return RunDefaultsCommand(rest);
    if (command == "bookmarks")
        return RunBookmarksCommand(rest);
    if (command == "check")
        return RunCheckCommand(rest);
    return UsageError("unknown command '" + command + "'");
}

}  // namespace
}  // namespace folivo::cli

int main(int argc, char** argv)
{
    // A conversion passes each book through several buffers of its size. Kept
    // in the heap, freed ones serve the next step and the next file instead of
    // being mapped afresh page by page, which costs a tenth of a conversion.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    using namespace folivo::cli;
    int status = Dispatch(ArgumentList(argv + 1, argv + argc));
    // Output that never arrived (a full disk, a closed pipe) is a failure too.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        ReportError("cannot write to standard output");
        status = std::max<int>(status, kExitFailed);
    }
    return status;
}
