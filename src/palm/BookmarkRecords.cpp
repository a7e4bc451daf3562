#include "BookmarkRecords.h"

#include "ByteOrder.h"

namespace palm {

std::string PalmDocBookmarkRecord(const StoredBookmark& bookmark)
{
    std::string record = bookmark.name.substr(0, kPalmDocBookmarkName);
    record.resize(kPalmDocBookmarkNameField, '\0');
    PutU32(record, bookmark.offset);
    return record;
}

std::string ZtxtBookmarkRecord(const std::vector<StoredBookmark>& bookmarks)
{
    std::string record;
    record.reserve(bookmarks.size() * kZtxtBookmarkEntry);
    for (const StoredBookmark& bookmark : bookmarks) {
        PutU32(record, bookmark.offset);
        std::string title = bookmark.name.substr(0, kZtxtBookmarkName);
        title.resize(kZtxtBookmarkName, '\0');
        record += title;
    }
    return record;
}

}  // namespace palm
