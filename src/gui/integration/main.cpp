// folivo-desktop-integration: adds the desktop integration of the program it
// is given for the current user, or with /u removes it.
//
//   folivo-desktop-integration [/s] [/u] PROGRAM
//
// /s keeps it from telling each file it adds or removes. What went wrong goes
// to standard error all the same: the program that runs it silently shows it.
// Paths are printed with their control characters escaped. The exit status
// is 0 when all went well, 1 when not, 2 for a wrong command line.
#include "integration/DesktopIntegration.h"

#include <core/PrintableText.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

constexpr char kUsage[] = "usage: folivo-desktop-integration [/s] [/u] PROGRAM\n"
                          "Adds, for the current user, a desktop entry and file-manager menu entries that\n"
                          "start PROGRAM on a text or HTML document; /u removes them again; /s names no\n"
                          "file, but still tells what went wrong.\n";

}  // namespace

int main(int argc, char** argv)
{
    bool silent = false;
    bool remove = false;
    std::string program;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "/s" || argument == "/S") {
            silent = true;
        } else if (argument == "/u" || argument == "/U") {
            remove = true;
        } else if (argument == "--version") {
            std::printf("folivo-desktop-integration %s\n", FOLIVO_VERSION);
            return 0;
        } else if (argument == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (program.empty() && !argument.empty()) {
            program = argument;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    // Removal finds its files without the program; adding needs it.
    if (program.empty() && !remove) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const integration::UserFolders folders = integration::FoldersFromEnvironment();
    std::error_code ec;
    const std::string absolute = program.empty() ? program : std::filesystem::absolute(program, ec).string();
    const integration::Outcome outcome =
        remove ? integration::RemoveIntegration(folders) : integration::AddIntegration(absolute, folders);
    if (!silent) {
        for (const std::string& path : outcome.added)
            std::printf("added %s\n", folivo::PrintablePath(path).c_str());
        for (const std::string& path : outcome.removed)
            std::printf("removed %s\n", folivo::PrintablePath(path).c_str());
    }
    for (const std::string& problem : outcome.problems)
        std::fprintf(stderr, "folivo-desktop-integration: %s\n", folivo::PrintablePath(problem).c_str());
    return outcome.problems.empty() ? 0 : 1;
}
