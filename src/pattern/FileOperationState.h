// What a RegularExpression holds for its file operations.
#pragma once

#include <patternkit/FileProblems.h>

#include <functional>
#include <set>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace patternkit {

// One replacement of ChangeFiles waiting to be written.
struct PendingChange {
    int offset = 0;   // of the whole match in the file
    CString matched;  // the text the search saw there
    CString replacement;
};

struct FileOperationState {
    FileSearchProblemList findFilesErrors;
    FileSearchProblemList grepFilesErrors;
    FileChangeProblemList changeFilesErrors;

    // ChangeFiles: the file being changed, its replacements in the order the
    // matches were reported (ascending offsets), and the replacements written.
    CString currentFile;
    std::vector<PendingChange> pendingChanges;
    unsigned changeCount = 0;
    // The files (device and inode) the run has taken up: a file met again
    // under another name (a hard or symbolic link) is not changed twice.
    std::set<std::pair<dev_t, ino_t>> filesTakenUp;
    // The replacement of a matched text, fixed when ChangeFiles starts.
    std::function<CString(const CString& matched)> replace;

    // Set while one of the object's file operations runs: the state above
    // belongs to it, so the object does not start another from a handler.
    bool running = false;
};

}  // namespace patternkit
