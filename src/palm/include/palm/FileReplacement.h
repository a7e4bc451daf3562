// Writing files so that nothing is ever left half-written: shared by the
// database writers, the install queue, the settings store and the command line.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace palm {

// Writes all of bytes to fd, retrying after interruptions. False when a write
// fails or stops short (a full disk, a size limit), with errno set.
bool WriteAll(int fd, std::string_view bytes);

// What replacing a file came to: error is 0 when the file was replaced, else
// the errno of the step that failed.
struct Replacement {
    int error = 0;
    bool folderRefused = false;  // the new file could not even be created
};

// Writes bytes to a new file named tempPrefix plus six random characters in
// path's folder (created exclusively, never a guessed name), gives it `mode`,
// syncs it, renames it over path and syncs the folder. On failure the new file
// is removed and an existing file at path is left as it was.
Replacement ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode, const char* tempPrefix);

}  // namespace palm
