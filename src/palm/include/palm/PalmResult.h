// Outcome of a writer, reader or install call, with an English message for the
// command line. The outside-library entry points return the status as an int.
#pragma once

#include <cstddef>
#include <string>

namespace palm {

enum class Status {
    Ok = 0,
    BookmarkLinesSkipped,    // database written; some bookmark lines were unusable
    BookmarkFileUnreadable,  // database written without bookmarks
    InvalidArgument,
    TextFileUnreadable,
    BlockSizeOutOfRange,
    TextTooLong,
    OutputFolderUnwritable,
    OutputWriteFailed,
    DatabaseUnreadable,
    DamagedDatabase,
    NotAnEbook,
    HotSyncFolderMissing,
    InvalidUserName,
    NoSuchUser,
    EmptyText,  // nothing written: a database needs some text
    // Queued, but another queued database has the same name, and the
    // hand-held keeps only one of them.
    SameNameQueued,
    // Nothing written: a bookmark lies past the end of the text.
    BookmarkPastText,
    // Nothing written: more bookmarks than the database has room for.
    TooManyBookmarks,
};

struct Result {
    Status status = Status::Ok;
    std::string detail;  // path, system error or what was damaged
    // Writers: the bookmarks left out, by cause, and those the database holds.
    std::size_t malformedBookmarkLines = 0;  // lines of the bookmark file that name none
    std::size_t bookmarksPastText = 0;       // positions beyond the end of the text
    std::size_t bookmarksWithoutRoom = 0;    // more than the database has room for
    std::size_t storedBookmarks = 0;

    std::size_t SkippedBookmarks() const { return malformedBookmarkLines + bookmarksPastText + bookmarksWithoutRoom; }

    // True when the requested file was produced (possibly with a warning).
    bool Ok() const
    {
        return status == Status::Ok || status == Status::BookmarkLinesSkipped ||
               status == Status::BookmarkFileUnreadable || status == Status::SameNameQueued;
    }
};

// One English sentence (or two) describing the result, for people.
std::string Message(const Result& result);

}  // namespace palm
