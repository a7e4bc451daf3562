// The one result shape of the file layer: what a file operation came to.
#pragma once

#include <string>

namespace platform {

// Success when code is 0. Otherwise code is the errno of the step that failed
// and path the file or folder that step worked on.
struct FileError {
    int code = 0;
    std::string path;
    bool notRegularFile = false;  // a folder (code EISDIR), device, pipe or socket (EINVAL)
    bool creatingFile = false;    // no new file could be made in the folder named by path

    static FileError System(std::string path, int code) { return {code, std::move(path), false, false}; }
    // path names something other than a regular file, as `info` (a stat's
    // st_mode) tells.
    static FileError NotRegular(std::string path, unsigned mode);

    explicit operator bool() const { return code != 0; }
    // Why, for people: the system's text for code, or "not a regular file".
    std::string Reason() const;
    // "path: reason".
    std::string Message() const;
};

}  // namespace platform
