// How each format stores its bookmarks, shared by its writer, its reader and
// the rewriting of an existing database.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <palm/EbookWriters.h>
#include <palm/StoredBookmark.h>

namespace palm {

// PalmDoc: one record per bookmark, the name in a 16-byte field ended by a
// NUL, then its u32 offset. A record of any other size is no bookmark.
inline constexpr std::size_t kPalmDocBookmarkRecord = 20;
inline constexpr std::size_t kPalmDocBookmarkNameField = kPalmDocBookmarkName + 1;

// zTXT: one record of 24-byte entries, each a u32 offset and a 20-byte title
// (NUL-padded, not NUL-ended).
inline constexpr std::size_t kZtxtBookmarkEntry = 4 + kZtxtBookmarkName;
// Palm OS keeps a record below 64 KB, and the bookmark record is one record.
inline constexpr std::size_t kMaxRecordBytes = 65505;
inline constexpr std::size_t kZtxtMaxBookmarks = kMaxRecordBytes / kZtxtBookmarkEntry;

// The record of one PalmDoc bookmark; its name cut to kPalmDocBookmarkName bytes.
std::string PalmDocBookmarkRecord(const StoredBookmark& bookmark);
// The zTXT bookmark record of `bookmarks` in the order given (the format wants
// them by ascending offset); titles cut to kZtxtBookmarkName bytes.
std::string ZtxtBookmarkRecord(const std::vector<StoredBookmark>& bookmarks);

}  // namespace palm
