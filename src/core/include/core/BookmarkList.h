// The bookmark list: named positions in the prepared text, in creation order.
// An entry's index is its identity for every user of the list.
#pragma once

#include <core/LineRoutines.h>
#include <framework/CString.h>

#include <cstddef>
#include <cstdint>
#include <vector>

struct Bookmark {
    CString name;
    std::int32_t position = 0;  // byte offset in the prepared text
    bool generated = false;     // made by the pattern scan, not by the user
};

class BookmarkList {
public:
    // The one list the program uses, created empty at first use. The batch
    // command line and tests make lists of their own.
    static BookmarkList& Instance();

    // Appends an entry unless the last entry has the same name (bytes, case
    // counts) and position. Returns 0 either way.
    int Add(const CString& name, std::int32_t position, bool generated);
    // Drops every generated entry; the others keep their order.
    void RemoveGenerated();
    // Drops every entry that lies beyond `length` bytes of text.
    void RemoveBeyond(std::int32_t length);
    // The entries belong to one document: naming another one drops them all,
    // so that bookmarks made for one book never reach the next.
    void SetDocument(const CString& path);
    // False, changing nothing, when `index` names no entry.
    bool Rename(int index, const CString& name);
    bool RemoveAt(int index);
    void Clear();

    int Count() const { return static_cast<int>(m_entries.size()); }
    bool IsEmpty() const { return m_entries.empty(); }
    // The entry at `index`, or null when there is none (e.g. -1, no selection).
    const Bookmark* At(int index) const;

private:
    std::vector<Bookmark> m_entries;
    CString m_document;
};

namespace folivo {

// The most bytes of a line a bookmark is named after, generated or proposed.
inline constexpr std::size_t kBookmarkNameFromLine = 15;

// The generated bookmarks of one scan of `text` (`length` bytes followed by
// a NUL), one per matched line: the line's start as position and at most 15
// bytes of the line as name. Matches come in text order, so that each byte of
// the text is looked at once, however long its lines. A match on the empty
// "line" after a final line break, or beyond the text, adds nothing.
// Lines that hold a bookmark already (`taken`, ascending line starts) get
// none.
class MatchBookmarks {
public:
    MatchBookmarks(BookmarkList& list, const char* text, std::size_t length, std::vector<std::int32_t> taken = {});
    void Add(std::size_t matchOffset);

private:
    BookmarkList& m_list;
    const char* m_text;
    std::size_t m_length;
    LineLocator m_lines;
    std::vector<std::int32_t> m_taken;
    std::size_t m_nextTaken = 0;
};

// A place the document itself names (a contents entry, a heading) or a
// bookmark it holds, carried into the prepared text.
struct NamedPlace {
    std::size_t offset;
    CString name;
    bool held = false;  // a bookmark the document holds: the user's own
};

// Adds a generated bookmark for each of `places` (ascending offsets into
// `text`, `length` bytes followed by a NUL) at the start of the line the
// place is on, with the place's name; a place on the empty line after a
// final line break, or beyond the text, adds nothing, and a line gets one
// bookmark, of its first place, besides those the document held (none of
// the user's is lost unless it lies on no line). Returns the lines' starts,
// ascending, each once; adds the held places that lie on no line to
// `*heldLeftOut` when given.
std::vector<std::int32_t> AddPlaceBookmarks(BookmarkList& list, const char* text, std::size_t length,
                                            const std::vector<NamedPlace>& places, std::size_t* heldLeftOut = nullptr);

}  // namespace folivo
