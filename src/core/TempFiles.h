// Temporary files through which a conversion hands its results on.
#pragma once

#include <core/Error.h>
#include <framework/CString.h>
#include <platform/Interruption.h>

#include <string_view>

namespace folivo {

// Writes `bytes` to a new file whose unique name is chosen and created in one
// step (never a name guessed first and opened later), in the temporary folder
// (platform::TemporaryFolder) or, when that folder cannot take the whole file,
// in `fallbackFolder` (empty: the current folder), and sets `path` to it, with
// `removal` registering it for removal should the program be interrupted from
// the moment it exists. When neither folder takes it, nothing is left behind
// and the error names both. The first file of the process in the temporary
// folder first removes the files there that runs which were killed left
// behind (platform::RemoveAbandonedTemporaryFiles).
Error WriteTemporaryFile(std::string_view bytes, const CString& fallbackFolder, CString& path,
                         platform::RemovedOnInterrupt& removal);

}  // namespace folivo
