// The program's place in the desktop's menus: a helper program beside it adds
// or removes, for the current user, a desktop entry and file-manager context
// menu entries that start the program on a document. The main dialog switches
// it on and off, runs the helper and waits for it, and keeps the state in the
// settings store ("ShExt": 8 on, 0 off).
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

inline constexpr std::uint32_t kShellIntegrationOn = 8;
inline constexpr std::uint32_t kShellIntegrationOff = 0;

// The helper's command line for the program at `programPath`: the helper in
// the same folder, quoted; "/s" (silent), with "/u" when `on` is false; and
// the program itself, quoted. A double quote inside a path is written as
// three, which is how the command line is split again.
QString ShellIntegrationCommandLine(const QString& programPath, bool on);

// Stores the new state and runs the helper for this program. False, with
// nothing stored or run, when the settings store cannot be written.
bool SwitchShellIntegration(bool on);

// Starts `commandLine` as a process of its own, with this program's streams
// and environment, and waits for it to end. Nothing is reported: a helper
// that cannot start or fails leaves things as they were.
void RunAndWait(const QString& commandLine);

// Replaces RunAndWait for SwitchShellIntegration (for tests); an empty one
// restores it.
using CommandRunner = std::function<void(const QString& commandLine)>;
void SetCommandRunner(CommandRunner runner);
