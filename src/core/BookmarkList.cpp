#include <core/BookmarkList.h>

#include <algorithm>

BookmarkList& BookmarkList::Instance()
{
    static BookmarkList list;
    return list;
}

int BookmarkList::Add(const CString& name, std::int32_t position, bool generated)
{
    if (!m_entries.empty() && m_entries.back().name == name && m_entries.back().position == position)
        return 0;
    m_entries.push_back(Bookmark{name, position, generated});
    return 0;
}

void BookmarkList::RemoveGenerated()
{
    std::erase_if(m_entries, [](const Bookmark& b) { return b.generated; });
}

void BookmarkList::RemoveBeyond(std::int32_t length)
{
    std::erase_if(m_entries, [length](const Bookmark& b) { return b.position > length; });
}

void BookmarkList::SetDocument(const CString& path)
{
    if (path != m_document)
        m_entries.clear();
    m_document = path;
}

bool BookmarkList::Rename(int index, const CString& name)
{
    if (index < 0 || index >= Count())
        return false;
    m_entries[static_cast<std::size_t>(index)].name = name;
    return true;
}

bool BookmarkList::RemoveAt(int index)
{
    if (index < 0 || index >= Count())
        return false;
    m_entries.erase(m_entries.begin() + index);
    return true;
}

void BookmarkList::Clear()
{
    m_entries.clear();
}

const Bookmark* BookmarkList::At(int index) const
{
    return index < 0 || index >= Count() ? nullptr : &m_entries[static_cast<std::size_t>(index)];
}

namespace folivo {

namespace {

// No line holds `offset` into `length` bytes of text: it is beyond them, or
// on the empty line after a final line break.
bool OnNoLine(const char* text, std::size_t length, std::size_t offset)
{
    return offset > length || (offset == length && length > 0 && IsLineBreak(text[length - 1]));
}

}  // namespace

MatchBookmarks::MatchBookmarks(BookmarkList& list, const char* text, std::size_t length,
                               std::vector<std::int32_t> taken)
    : m_list(list), m_text(text), m_length(length), m_lines(text), m_taken(std::move(taken))
{
}

void MatchBookmarks::Add(std::size_t matchOffset)
{
    if (OnNoLine(m_text, m_length, matchOffset))
        return;
    const char* start = m_lines.LineStart(m_text + matchOffset);
    const auto position = static_cast<std::int32_t>(start - m_text);
    while (m_nextTaken < m_taken.size() && m_taken[m_nextTaken] < position)
        ++m_nextTaken;
    if (m_nextTaken < m_taken.size() && m_taken[m_nextTaken] == position)
        return;
    const std::size_t room =
        std::min<std::size_t>(m_length - static_cast<std::size_t>(start - m_text), kBookmarkNameFromLine);
    const std::size_t n = room == 0 ? 0 : static_cast<std::size_t>(LineEnd(start, start + room - 1) - start) + 1;
    // A line holding a NUL is named up to it.
    CString name(start, n);
    name.resize(std::min(name.size(), name.find('\0')));
    m_list.Add(name, position, true);
}

std::vector<std::int32_t> AddPlaceBookmarks(BookmarkList& list, const char* text, std::size_t length,
                                            const std::vector<NamedPlace>& places, std::size_t* heldLeftOut)
{
    std::vector<std::int32_t> taken;
    LineLocator lines(text);
    for (const NamedPlace& place : places) {
        if (OnNoLine(text, length, place.offset)) {
            if (place.held && heldLeftOut)
                ++*heldLeftOut;
            continue;
        }
        const auto position = static_cast<std::int32_t>(lines.LineStart(text + place.offset) - text);
        const bool lineTaken = !taken.empty() && taken.back() == position;
        if (lineTaken && !place.held)
            continue;
        list.Add(place.name, position, true);
        if (!lineTaken)
            taken.push_back(position);
    }
    return taken;
}

}  // namespace folivo
