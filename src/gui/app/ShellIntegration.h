// The program's place in the desktop's menus: a helper program beside it adds
// or removes, for the current user, a desktop entry and file-manager context
// menu entries that start the program on a document. The main dialog switches
// it on and off, runs the helper and waits for it, and keeps the state in the
// settings store ("ShExt": 8 on, 0 off) once the helper has done its part.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

inline constexpr std::uint32_t kShellIntegrationOn = 8;
inline constexpr std::uint32_t kShellIntegrationOff = 0;

// Whether the settings store holds the integration as on.
bool ShellIntegrationStoredOn();

// The helper's command line for the program at `programPath`: the helper in
// the same folder, quoted; "/s" (silent), with "/u" when `on` is false; and
// the program itself, quoted. A double quote inside a path is written as
// three, which is how the command line is split again.
QString ShellIntegrationCommandLine(const QString& programPath, bool on);

// How a command ended: its exit status, -1 when it could not start or did
// not end of itself, and what it wrote on standard error or why it did not
// run.
struct CommandOutcome {
    int status = 0;
    QString errors;
};

// Runs the helper for this program and, once it has succeeded, stores the new
// state. Empty when both went well; otherwise what went wrong, for the user.
// The stored state changes only when the helper succeeded.
QString SwitchShellIntegration(bool on);

// Starts `commandLine` as a process of its own, with this program's
// environment and standard output, and waits for it to end.
CommandOutcome RunAndWait(const QString& commandLine);

// Replaces RunAndWait for SwitchShellIntegration (for tests); an empty one
// restores it.
using CommandRunner = std::function<CommandOutcome(const QString& commandLine)>;
void SetCommandRunner(CommandRunner runner);
