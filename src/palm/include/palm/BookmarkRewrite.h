// Changing the bookmarks of an existing PalmDoc or zTXT database in place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <palm/PalmResult.h>
#include <palm/StoredBookmark.h>

namespace palm {

// The database `file` (PalmDoc "TEXt" or zTXT "zTXT", read whole, undamaged)
// with its bookmarks replaced by `bookmarks` (offsets into the text as the
// database stores it; names in the database's own bytes), into `rewritten`.
//
// Everything else stays as it was: the text records byte for byte, the
// header's fields (name, attributes, version, type, creator, dates, counters,
// the app-info and sort-info blocks, whose offsets follow when the record
// list changes length) but the modification date, which becomes `modified`,
// and every other record with its record-list entry (attributes, unique id).
// PalmDoc: one record per bookmark, in the order given, right after the text
// and before the records of other sizes; names cut to kPalmDocBookmarkName
// bytes. zTXT: one bookmark record sorted by offset (equal offsets keep their
// order), titles cut to kZtxtBookmarkName bytes; record 0's counts and record
// indexes, the annotation index among them, follow the record moving, going
// or coming. A bookmark record that stays keeps its entry (the first ones of
// PalmDoc's, in order); a new record gets a unique id above every one in the
// file.
//
// Refused, with `rewritten` left alone: a damaged file (DamagedDatabase,
// unless its one fault is its declared length: EbookInfo::onlyLengthDiffers), one
// that is no PalmDoc or zTXT database (NotAnEbook), a bookmark past the end
// of the text (BookmarkPastText), a name holding a NUL byte (InvalidArgument)
// and more bookmarks than fit (TooManyBookmarks): PalmDoc keeps 65535 records
// in all, zTXT's bookmark record stays below 64 KB (2729 bookmarks). On
// success the result's storedBookmarks is the count written.
Result RewriteBookmarks(std::string_view file, const std::vector<StoredBookmark>& bookmarks, std::uint32_t modified,
                        std::string& rewritten);

// Reads the database at `path`, rewrites it as RewriteBookmarks does, dated
// now, and replaces the file only once the new one is complete: its
// permission bits stay, a symbolic link stays a link to the new file, and
// anything but a regular file is left alone (OutputWriteFailed). Besides
// RewriteBookmarks's results: DatabaseUnreadable, OutputFolderUnwritable and
// OutputWriteFailed, each with the file as it was.
Result SaveBookmarks(const std::string& path, const std::vector<StoredBookmark>& bookmarks);

}  // namespace palm
