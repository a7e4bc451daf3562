// A Palm database opened to edit its bookmarks in place: the preview shows
// its text and its bookmarks, and saving rewrites only the bookmarks.
#pragma once

#include <core/BookmarkList.h>
#include <core/ConversionSettings.h>
#include <core/Error.h>
#include <palm/DatabaseCheck.h>
#include <palm/StoredBookmark.h>

#include <string>
#include <vector>

namespace folivo {

struct EditedDatabase {
    CString path;
    CString fileName;  // for people
    DocumentFormat format = DocumentFormat::PalmDoc;
    std::string text;                         // as the database stores it
    std::vector<palm::StoredBookmark> saved;  // as the file holds them now
    // What readers refuse or show wrongly in the file.
    std::vector<palm::Finding> findings;
};

// Reads the PalmDoc or zTXT database at `path` into `database`, and its
// bookmarks, in stored order, into `list` (which then belongs to it). Fails,
// saying why, for a file that cannot be read, is no such database or is
// damaged (its bookmarks could not be saved without losing part of it).
Error OpenDatabaseBookmarks(const CString& path, EditedDatabase& database, BookmarkList& list);

// Whether `list` differs from the bookmarks the file holds.
bool BookmarksEdited(const EditedDatabase& database, const BookmarkList& list);

// Rewrites the file with the bookmarks of `list` (palm::SaveBookmarks: the
// text records as they were, replaced only once complete); they are then the
// saved ones. Fails, saying why, with the file as it was.
Error SaveDatabaseBookmarks(EditedDatabase& database, const BookmarkList& list);

// One line for people about the findings: the first and how many more;
// empty when there are none.
CString FindingsLine(const std::vector<palm::Finding>& findings);

}  // namespace folivo
