// The steps both database writers share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <palm/EbookWriters.h>

namespace palm {

Result checkRecordSize(std::uint32_t recordSize);

// Sorts by offset (keeping file order among equal offsets), drops entries
// beyond textLength and keeps at most `room`. Returns how many were dropped.
std::size_t arrangeBookmarks(std::vector<StoredBookmark>& bookmarks, std::size_t textLength, std::size_t room);

// Reads the request's text and bookmark file, then builds with `build` and
// replaces the output file. Problems with the bookmark file (unreadable,
// malformed lines) do not stop the database from being written; they are
// reported in the result.
template <typename Build>
Result writeDatabase(const WriteRequest& request, Build build);

// Internals of writeDatabase that need no template.
struct LoadedInput {
  std::string text;
  BookContent content;
  Result warning;
};
Result loadInput(const WriteRequest& request, LoadedInput& input);
Result storeDatabase(const WriteRequest& request, const std::string& database, Result built, const Result& warning);

template <typename Build>
Result writeDatabase(const WriteRequest& request, Build build) {
  LoadedInput input;
  if (Result loaded = loadInput(request, input); !loaded.ok()) return loaded;
  std::string database;
  Result built = build(input.content, database);
  if (!built.ok()) return built;
  return storeDatabase(request, database, built, input.warning);
}

}  // namespace palm
