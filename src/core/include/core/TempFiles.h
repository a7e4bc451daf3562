// Temporary files through which a conversion hands its results on.
#pragma once

#include <framework/CString.h>

#include <string_view>

// The folder for temporary files: TMP, else TEMP, else the system's own
// (the C library's P_tmpdir); an empty variable counts as unset.
CString TemporaryFolder();

// Writes `bytes` to a new file whose unique name is chosen and created in one
// step (never a name guessed first and opened later), in the temporary folder
// or, when that folder cannot take the whole file, in `fallbackFolder` (empty:
// the current folder). Returns the file's path, or an empty string when
// neither folder took it; nothing is left behind then.
CString WriteTemporaryFile(std::string_view bytes, const CString& fallbackFolder);
