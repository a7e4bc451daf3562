// What the preview and its dialogs do to the bookmark list, apart from any
// window: the bookmark proposed at the visible text, the orders of the
// explore list, the removal of several entries, and the names the combo box
// can show.
#pragma once

#include <core/BookmarkList.h>
#include <core/ConversionSettings.h>
#include <core/TextLines.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace folivo {

// Where "Add bookmark" puts a new bookmark.
struct BookmarkProposal {
    int line = 0;
    std::int32_t position = 0;
};

// The line below `topLine`, the topmost visible one, so that the line a
// reader has just scrolled past is not the one marked. When there is no line
// below, the topmost line itself.
BookmarkProposal ProposeBookmark(const TextLines& lines, int topLine);
// The name proposed for a bookmark on a line of these bytes (without its
// line break): at most the first 15, as generated names have.
CString ProposedName(std::string_view line);

// The longest name a database of `format` keeps, in bytes (one per character
// of the program's code page): a longer one is cut when it is written.
std::size_t StoredNameLength(DocumentFormat format);

enum class BookmarkOrder { Creation = 0, Name = 1, Position = 2 };

// The list's indices in the order the explore list shows them: as created,
// by name (bytes, case counts) or by position. Entries with equal keys keep
// their creation order.
std::vector<int> OrderBookmarks(const BookmarkList& list, BookmarkOrder order);

// Removes the entries at `indices` as they were numbered before any removal;
// repeated and unknown indices are ignored.
void RemoveEntries(BookmarkList& list, std::vector<int> indices);

// Drops the LF and CR bytes from every name, in the list itself: names are
// shown on one line.
void RemoveLineBreaksFromNames(BookmarkList& list);

}  // namespace folivo
