// The bookmark file handed to the writers: one line per bookmark, the offset
// in decimal, one space, the name, ended by CR LF (LF alone is accepted).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include <palm/StoredBookmark.h>

namespace palm {

struct BookmarkLines {
    std::vector<StoredBookmark> entries;  // in file order
    std::size_t malformed = 0;            // non-empty lines that were skipped
};

// A line is used when it starts with a decimal offset that fits in 32 bits
// signed, followed by one space; the rest of the line is the name. Empty lines
// are ignored; anything else counts as malformed.
BookmarkLines ParseBookmarkLines(std::string_view text);

}  // namespace palm
