#include <core/BookmarkList.h>
#include <core/LineRoutines.h>

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

void AddMatchBookmark(BookmarkList& list, const char* text, std::size_t length, std::size_t matchOffset)
{
    if (matchOffset > length)
        return;
    const char* start = LineStart(text, text + matchOffset);
    std::ptrdiff_t n = std::min<std::ptrdiff_t>(LineEnd(start) - start + 1, kBookmarkNameFromLine);
    // A match at the very end of the text would otherwise take the closing NUL.
    CString name(start, static_cast<std::size_t>(n));
    name.resize(std::min(name.size(), name.find('\0')));
    list.Add(name, static_cast<std::int32_t>(start - text), true);
}

}  // namespace folivo
