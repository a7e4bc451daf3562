#include "BookmarkFile.h"

#include <core/BookmarkEditing.h>
#include <palm/EbookWriters.h>
#include <platform/Paths.h>

#include "TempFiles.h"

#include <algorithm>
#include <string>

namespace folivo {

CString BookmarkFileText(const BookmarkList& list, DocumentFormat format, std::string_view text)
{
    // In position order each stretch of text before a zTXT position is
    // counted once, however many entries there are.
    std::size_t counted = 0;
    std::size_t dropped = 0;
    CString out;
    for (const int index : OrderBookmarks(list, BookmarkOrder::Position)) {
        const Bookmark* entry = list.At(index);
        std::int32_t position = entry->position;
        if (format == DocumentFormat::zTXT) {
            const std::size_t at = std::min(static_cast<std::size_t>(std::max(position, 0)), text.size());
            const std::string_view stretch = text.substr(counted);
            dropped += (at - counted) - palm::ZtxtPosition(stretch, at - counted);
            counted = at;
            position -= static_cast<std::int32_t>(dropped);
        }
        out += std::to_string(position);
        out += ' ';
        for (char c : entry->name) {
            if (c != '\n')
                out += c;
        }
        out += "\r\n";
    }
    return out;
}

Error WriteBookmarkFile(const BookmarkList& list, DocumentFormat format, std::string_view text,
                        const CString& sourcePath, CString& path, platform::RemovedOnInterrupt& removal)
{
    return WriteTemporaryFile(BookmarkFileText(list, format, text), platform::FolderOf(sourcePath), path, removal);
}

}  // namespace folivo
