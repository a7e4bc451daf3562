#include <core/BookmarkEditing.h>
#include <core/LineRoutines.h>
#include <palm/EbookWriters.h>

#include <algorithm>
#include <functional>
#include <numeric>

namespace folivo {

BookmarkProposal ProposeBookmark(const TextLines& lines, int topLine)
{
    const int line = std::clamp(topLine + 1, 0, lines.Count() - 1);
    return {line, lines.Start(line)};
}

CString ProposedName(std::string_view line)
{
    return CString(line.substr(0, kBookmarkNameFromLine));
}

std::size_t StoredNameLength(DocumentFormat format)
{
    return format == DocumentFormat::zTXT ? palm::kZtxtBookmarkName : palm::kPalmDocBookmarkName;
}

std::vector<int> OrderBookmarks(const BookmarkList& list, BookmarkOrder order)
{
    std::vector<int> rows(static_cast<std::size_t>(list.Count()));
    std::iota(rows.begin(), rows.end(), 0);
    auto entry = [&list](int index) -> const Bookmark& { return *list.At(index); };
    if (order == BookmarkOrder::Name) {
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return entry(a).name < entry(b).name; });
    } else if (order == BookmarkOrder::Position) {
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return entry(a).position < entry(b).position; });
    }
    return rows;
}

void RemoveEntries(BookmarkList& list, std::vector<int> indices)
{
    std::sort(indices.begin(), indices.end(), std::greater<>());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    for (int index : indices)
        list.RemoveAt(index);
}

void RemoveLineBreaksFromNames(BookmarkList& list)
{
    for (int i = 0; i < list.Count(); ++i) {
        CString name = list.At(i)->name;
        RemoveChar(name, '\n');
        RemoveChar(name, '\r');
        if (name != list.At(i)->name)
            list.Rename(i, name);
    }
}

}  // namespace folivo
