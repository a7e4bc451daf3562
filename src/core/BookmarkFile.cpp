#include "BookmarkFile.h"

#include <palm/EbookWriters.h>
#include <platform/Paths.h>

#include "TempFiles.h"

#include <string>

namespace folivo {

CString BookmarkFileText(const BookmarkList& list, DocumentFormat format, const char* text)
{
    // Generated positions lie within the searched text, which ends at the first NUL.
    const std::string_view searched(text);
    CString out;
    for (int i = 0; i < list.Count(); ++i) {
        const Bookmark& entry = *list.At(i);
        if (!entry.generated)
            continue;
        std::int32_t position = entry.position;
        if (format == DocumentFormat::zTXT)
            position = static_cast<std::int32_t>(palm::ZtxtPosition(searched, static_cast<std::size_t>(position)));
        out += std::to_string(position);
        out += ' ';
        for (char c : entry.name) {
            if (c != '\n')
                out += c;
        }
        out += "\r\n";
    }
    return out;
}

Error WriteBookmarkFile(const BookmarkList& list, DocumentFormat format, const char* text, const CString& sourcePath,
                        CString& path)
{
    return WriteTemporaryFile(BookmarkFileText(list, format, text), platform::FolderOf(sourcePath), path);
}

}  // namespace folivo
