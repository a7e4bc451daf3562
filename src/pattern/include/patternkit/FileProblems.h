// Problem records of the file operations FindFiles, GrepFiles and ChangeFiles.
//
// How the file operations behave on this system:
//  - FilesToMatch is a path whose last component may hold the wildcards of
//    fnmatch (* ? [...], a backslash escapes); "*" also matches names that
//    begin with ".". Without a "/" the current folder is searched and files are
//    reported by their bare names; otherwise as the folder part followed by the
//    name, and files in subfolders as folder/sub/name.
//  - Order: the names of one folder sorted by their bytes; a folder's own files
//    before the contents of its subfolders, subfolders in name order. With
//    DirectoryRecursion the same wildcard is applied in every subfolder;
//    symbolic links to folders are not followed (no loops), symbolic links to
//    files are searched. Only regular files are searched: folders, pipes and
//    devices whose names match are passed over, and so are the temporary files
//    ChangeFiles makes (".changing-" and six letters or digits), whatever
//    the pattern.
//  - Each file is read whole and searched with Expression compiled in the perl
//    syntax, case-insensitive when optICase is set (the other expression
//    options do not apply), under the locale model chosen by LocaleModel, and
//    with the match options. A match's line is 1 + the number of LF bytes
//    before it.
//  - FindFiles stops when a handler clears the continue flag. GrepFiles and
//    ChangeFiles stop searching the current file and go on with the next one.
//  - With ContinueFiles cleared the search stops at the first problem.
//  - ChangeFiles declines files whose extension (in the last path component)
//    equals SaveExtension, and read-only files: files the user cannot write
//    (access(W_OK) fails) or whose owner write bit is clear, so that root is
//    held back by the same bit as everybody else.
//  - A symbolic link to a file changes the file it names and stays a link;
//    the backup is made beside the name as given. One run changes a file
//    once, under the first of its names (links) that the search meets.
//  - The new text is written to a temporary file made in the target's own
//    folder and moved over the target in one rename once it is complete and on
//    disk, and the backup is complete and on disk before that: the target is
//    at every moment either the old or the new text, even if the process dies.
//    SIGINT, SIGTERM or SIGHUP (where the program left their default action)
//    removes the temporary file on the way out.
//  - Just before the new text takes the old one's place, the target must still
//    be the file that was read, as it was read: the same device and inode,
//    size and modification time. A file another process wrote to (an append
//    would be lost with the old text), replaced or removed meanwhile is left
//    as that process made it, with kind 8 (errorCode: errno when the file
//    could not be examined). Kind 8 also comes, with the changes made and
//    counted, when such a write reached the old text in the moment of the
//    rename itself, or through a descriptor opened before it: the new text is
//    then in place and that write is lost, which cannot be seen earlier.
//    A rewrite that lands within the file system's timestamp granularity and
//    keeps the size cannot be told from no write.
//  - The new file gets the target's permission bits, owner and group. A user
//    may change a file owned by somebody else; the new file is then the
//    user's, which is reported as kind 7, and it keeps the permission bits but
//    for set-user-id (set-group-id) when the owner (group) could not be kept.
//  - Two kinds of file are instead rewritten in place, keeping their inode:
//    a file with several hard links (a rename would leave the other names with
//    the old text and break the link), and a file the user may write in a
//    folder the user may not (where no new file can be made). The old text is
//    on disk first: in the backup, or else in a copy in the temporary folder
//    (TemporaryFolder: $TMP, $TEMP, $TMPDIR) named after the file,
//    "<name>.old-XXXXXX", which is removed once the new text is on disk. Only
//    a process that dies while the text is written leaves a half-written
//    target, and then that copy. With SaveExtension the backup goes beside the
//    file as always, so in a folder the user may not write the file is not
//    changed (kind 5).
#pragma once

#include <framework/CString.h>

#include <vector>

// A file that FindFiles, GrepFiles (or the search of ChangeFiles) could not
// search.
struct FileSearchProblem {
    enum Kinds {
        kindCannotRead = 0,    // the file cannot be opened or read; fileName is the file
        kindCannotList = 1,    // a folder cannot be listed; fileName is the folder
        kindCannotSearch = 2,  // read but not searched: larger than 2 GiB (EFBIG), out of
                               // memory (ENOMEM), or the expression's matching limits (0)
    };
    CString fileName;
    int kind = 0;
    int errorCode = 0;  // errno at the failure; 0 when none applies
};

// A file that ChangeFiles could not rewrite.
struct FileChangeProblem {
    enum Kinds {
        kindCannotOpen = 0,  // the target cannot be searched or opened for the rewrite
        kindCannotCreateTemporary = 1,
        kindCannotReadTarget = 2,  // or it is shorter than the search saw
        kindCannotWriteTemporary = 3,
        kindTextChanged = 4,  // the matched text is no longer at position
        kindCannotBackUp = 5,
        kindCannotReplace = 6,            // in place: the target has its old text back, unless text says otherwise
        kindCannotRestoreAttributes = 7,  // the owner or group: the file was changed
        kindChangedByAnother = 8,         // written to, replaced or removed during the rewrite
    };
    // The target; the temporary file (1, 3); the backup or the copy of the old
    // text in the temporary folder, or that folder when no file could be made (5).
    CString fileName;
    int kind = 0;
    int position = 0;  // byte offset where the problem arose; 0 when none applies
    // Kind 4: the text expected at position. Kind 6 after an in-place rewrite
    // failed and the old text could not be put back either: the file that
    // holds the old text (the backup or the copy in the temporary folder).
    CString text;
    int errorCode = 0;  // errno at the failure; 0 when none applies
};

using FileSearchProblemList = std::vector<FileSearchProblem>;
using FileChangeProblemList = std::vector<FileChangeProblem>;
