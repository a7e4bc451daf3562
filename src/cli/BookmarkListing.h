// The list of a database's bookmarks that `extract --bookmarks` and
// `bookmarks` print and `bookmarks --import` reads back: one line per
// bookmark, its offset in decimal, a tab and its name.
#pragma once

#include <palm/StoredBookmark.h>

#include <core/Error.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace folivo::cli {

// The lines of `bookmarks`, in their order. A name is shown as PrintableName
// shows it, backslashes doubled, when ReadListedName gives its bytes back
// from that; else (a name in UTF-8, whose characters would come back in the
// hand-held's set) as its bytes, each one beyond ASCII as \xHH. Either way
// the list reads back as exactly these bookmarks.
std::string BookmarkListing(const std::vector<palm::StoredBookmark>& bookmarks);

// A name as such a list shows it, in the bytes a database stores: its
// characters in the hand-held's set (HandheldName, adding the characters it
// lacks to `*replaced`), the escapes \\, \r, \n and \xHH (the byte HH) undone.
// Fails, saying why, at any other backslash and at a NUL byte.
Error ReadListedName(std::string_view shown, std::string& name, std::size_t* replaced = nullptr);

// The bookmarks of such a list, in its order. A line ends at LF, a CR before
// it is dropped, and an empty line is skipped. Fails, naming the line (1 for
// the first), at a line without a tab, an offset that is no decimal number or
// lies past textLength, and a name ReadListedName refuses.
Error ReadBookmarkListing(std::string_view text, std::uint32_t textLength, std::vector<palm::StoredBookmark>& bookmarks,
                          std::size_t* replaced = nullptr);

}  // namespace folivo::cli
