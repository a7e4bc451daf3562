// Stand-in for the desktop's hand-held user list and install queue.
//
// The HotSync folder is $FOLIVO_HOTSYNC_DIR when set, else
// $XDG_DATA_HOME/Kavvan Software/HotSync (XDG_DATA_HOME defaulting to
// ~/.local/share). Each sub-folder is one hand-held user, named after the
// user; databases queued for the next HotSync wait in its Install folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <palm/PalmResult.h>

namespace palm {

// The HotSync folder, or an empty string when no home folder is known.
std::string HotSyncFolder();

// The users: visible sub-folders whose names fit the 255-byte name buffer of
// the user-list calls, sorted by name (byte order).
Result ListHandheldUsers(std::vector<std::string>& names);

// A user's identifier: the CRC-32 of the name, so that it stays the same
// while other users come and go. Never 0.
std::uint32_t HandheldUserId(std::string_view name);

// Copies the database into <HotSync folder>/<user>/Install/ under its own
// file name, once the copy is complete. A queued database of that file name
// is replaced when it carries the same database name (the same book, queued
// again), unless this process queued it from another file (two books of one
// name in one run); else the copy takes the first free name of "a-2.pdb",
// "a-3.pdb" ... (or replaces the same book among them). No other file in the
// queue is touched. When another queued database carries the same database
// name the result is SameNameQueued, naming them: the hand-held keeps only
// one database of a name. A name that is empty, ".", "..", holds '/' or '\\',
// or names no existing user folder installs nothing, and so does a file larger
// than any database (kMaxDatabaseFile), which is refused before it is read.
Result InstallDatabase(std::string_view user, const std::string& databasePath);

}  // namespace palm
