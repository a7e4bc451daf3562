// What `folivo --help` prints, and how every command reports a wrong command line.
#pragma once

#include <string>
#include <string_view>

namespace folivo::cli {

// The help of one command ("convert", "info", "extract", "bookmarks", "check",
// "defaults"), or of all of them when `command` is empty. False, printing
// nothing, for a name that is no command.
bool PrintHelp(std::string_view command = {});
void PrintVersion();
// Prints "folivo: <message>" and a pointer to --help on stderr; returns kExitUsage.
int UsageError(std::string_view message);
// Prints "folivo: error: <message>" on stderr.
void ReportError(std::string_view message);
// Prints "folivo: warning: <message>" on stderr.
void ReportWarning(std::string_view message);

// `text` as one line that cannot steer a terminal: CR, LF and the other
// control bytes are written as \r, \n and \xHH. With doubleBackslashes a
// backslash is written as \\, so that the escapes cannot be mistaken for
// text; without, text free of control bytes comes out as it is.
std::string Printable(std::string_view text, bool doubleBackslashes = false);
// A name or title read from a database, for a person at a UTF-8 terminal: its
// characters (see NameCharacters) in UTF-8, with every control character, C1
// ones included, escaped as Printable escapes it (doubleBackslashes too).
// Never for bytes that must stay as they are.
std::string PrintableName(std::string_view name, bool doubleBackslashes = false);

}  // namespace folivo::cli
