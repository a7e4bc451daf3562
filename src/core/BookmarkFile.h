// The bookmark file: the generated bookmarks handed to the database writers.
#pragma once

#include <platform/Interruption.h>

#include <core/BookmarkList.h>
#include <core/ConversionSettings.h>
#include <core/Error.h>

#include <string_view>

namespace folivo {

// The file's content: one line per entry, generated or made by hand, in
// position order (list order among equal positions), of the position in
// decimal, one space, the name and CR LF. For zTXT the position is where the
// entry lies once the writer has made the text's line breaks LF
// (palm::ZtxtPosition). LF bytes in names are left out: they would break
// their line.
CString BookmarkFileText(const BookmarkList& list, DocumentFormat format, std::string_view text);

// Writes BookmarkFileText to a new temporary file, in the temporary folder or
// else in the folder of `sourcePath`, and sets `path` to it, registered for
// removal on interruption by `removal` (see WriteTemporaryFile). When neither
// folder could take it, a run must not hand its database on as if it had its
// bookmarks.
Error WriteBookmarkFile(const BookmarkList& list, DocumentFormat format, std::string_view text,
                        const CString& sourcePath, CString& path, platform::RemovedOnInterrupt& removal);

}  // namespace folivo
