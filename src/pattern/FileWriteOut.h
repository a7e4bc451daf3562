// Writing the pending changes of one file to disk, with an optional backup.
#pragma once

#include "FileOperationState.h"

namespace patternkit {

// Rewrites fileName with its changes in place (see FileProblems.h for the
// guarantees), first copying the old text to the backup when saveExtension is
// not empty. Problems are appended; returns the number of replacements written
// (0 when the file was left as it was).
unsigned WriteOutChanges(const CString& fileName, const std::vector<PendingChange>& changes,
                         const CString& saveExtension, FileChangeProblemList& problems);

// The backup name: the path up to the "." of the last component's extension,
// then "." and the extension; a last component without "." gets ".extension".
CString BackupName(const CString& fileName, const CString& saveExtension);

// Whether the last component's extension equals extension, ignoring case as
// the global locale upper-cases; an empty extension never matches.
bool HasExtension(const CString& fileName, const CString& extension);

// Whether the user may not change the file: no write access, or the owner
// write bit clear (which holds back root too).
bool IsReadOnly(const CString& fileName);

// A test seam for failures that cannot be provoked from outside: called before
// the step with the path concerned; a non-zero result fails the step with that
// errno. Null (the default) fails nothing. targetReplaced comes after the
// rename, and its result is ignored: a moment for another process to write.
enum class WriteOutStep { temporaryWritten, restoreAttributes, replaceTarget, targetReplaced };
using WriteOutFault = int (*)(WriteOutStep step, const char* path);
void SetWriteOutFault(WriteOutFault fault);

}  // namespace patternkit
