// What `folivo --help` prints, and how every command reports a wrong command line.
#pragma once

#include <string_view>

namespace folivo::cli {

void PrintHelp();
void PrintVersion();
// Prints "folivo: <message>" and a pointer to --help on stderr; returns kExitUsage.
int UsageError(std::string_view message);
// Prints "folivo: error: <message>" on stderr.
void ReportError(std::string_view message);
// Prints "folivo: warning: <message>" on stderr.
void ReportWarning(std::string_view message);

}  // namespace folivo::cli
