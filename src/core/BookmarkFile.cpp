#include <core/BookmarkFile.h>
#include <core/LineRoutines.h>
#include <core/TempFiles.h>

#include <string>

CString BookmarkFileText(const BookmarkList& list, DocumentFormat format, const char* text)
{
    CString out;
    for (int i = 0; i < list.Count(); ++i) {
        const Bookmark& entry = *list.At(i);
        if (!entry.generated)
            continue;
        std::int32_t position = entry.position;
        if (format == DocumentFormat::zTXT)
            position -= CountChar(text, text + position, '\r');
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

CString WriteBookmarkFile(const BookmarkList& list, DocumentFormat format, const char* text, const CString& sourcePath)
{
    return WriteTemporaryFile(BookmarkFileText(list, format, text), FolderOf(sourcePath));
}
