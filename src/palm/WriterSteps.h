// The steps both database writers share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <palm/EbookWriters.h>

namespace palm {

Result CheckRecordSize(std::uint32_t recordSize);
// What both builders refuse: a record size out of range, and an empty text,
// which would give a database without a text record (readers fail on it).
Result CheckContent(const BookContent& content);

// Sorts by offset (keeping file order among equal offsets), drops entries
// beyond textLength and keeps at most `room`; counts both kinds of dropped
// entry and the kept ones in `result`.
void ArrangeBookmarks(std::vector<StoredBookmark>& bookmarks, std::size_t textLength, std::size_t room, Result& result);

// Runs work(first, stride) on as many threads as pay off for `count` records
// (one below 64 records a thread), so that every index below count is handed
// to exactly one call: first, first + stride, and so on. Records are made
// independently of each other, so the result does not depend on how many
// threads there were. An exception thrown by work on any thread reaches the
// caller, as it would without threads.
void ShareOutRecords(std::size_t count, const std::function<void(std::size_t first, std::size_t stride)>& work);

using BuildDatabase = std::function<Result(const BookContent&, std::string&)>;

// Reads the request's text and bookmark file, builds the database and
// replaces the output file. Problems with the bookmark file (unreadable,
// malformed lines) do not stop the database from being written; they are
// reported in the result.
Result WriteDatabase(const WriteRequest& request, const BuildDatabase& build);

}  // namespace palm
