#include <palm/PalmResult.h>

namespace palm {

namespace {

const char* Summary(Status status)
{
    switch (status) {
    case Status::Ok: return "Done";
    case Status::BookmarkLinesSkipped: return "Database written, but some bookmarks were skipped";
    case Status::BookmarkFileUnreadable: return "Database written without bookmarks: the bookmark file cannot be read";
    case Status::InvalidArgument: return "Invalid argument";
    case Status::TextFileUnreadable: return "The text file cannot be read";
    case Status::BlockSizeOutOfRange: return "The record size must be between 1 and 31 KB";
    case Status::TextTooLong: return "The text is too long for a Palm database at this record size";
    case Status::OutputFolderUnwritable: return "The output folder cannot be written";
    case Status::OutputWriteFailed: return "The database could not be written";
    case Status::DatabaseUnreadable: return "The database file cannot be read";
    case Status::DamagedDatabase: return "The database is damaged";
    case Status::NotAnEbook: return "The file is not a PalmDoc or zTXT database";
    case Status::HotSyncFolderMissing: return "The HotSync folder cannot be found";
    case Status::InvalidUserName: return "Invalid hand-held user name";
    case Status::NoSuchUser: return "No such hand-held user";
    case Status::EmptyText:
        return "There is no text to write: the document is empty, or the text rules removed all of it";
    case Status::SameNameQueued: return "Queued, but the hand-held keeps only one database of a name";
    case Status::BookmarkPastText: return "A bookmark lies past the end of the text";
    case Status::TooManyBookmarks: return "The database has no room for that many bookmarks";
    }
    return "Unknown result";
}

std::string Count(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

}  // namespace

std::string Message(const Result& result)
{
    std::string text = Summary(result.status);
    if (!result.detail.empty())
        text += ": " + result.detail;
    text += '.';
    if (const std::size_t n = result.bookmarksWithoutRoom; n != 0)
        text += ' ' + Count(n, "bookmark was", "bookmarks were") + " dropped: no room was left in the database (" +
                (result.storedBookmarks == 0 ? std::string("none fits")
                                             : "only " + Count(result.storedBookmarks, "fits", "fit")) +
                ").";
    if (const std::size_t n = result.bookmarksPastText; n != 0)
        text +=
            ' ' + Count(n, "bookmark was", "bookmarks were") + " dropped: its position is past the end of the text.";
    if (const std::size_t n = result.malformedBookmarkLines; n != 0)
        text += ' ' + Count(n, "line", "lines") + " of the bookmark file named no bookmark and " +
                (n == 1 ? "was" : "were") + " skipped.";
    return text;
}

}  // namespace palm
