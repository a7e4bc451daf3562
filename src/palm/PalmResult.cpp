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
    }
    return "Unknown result";
}

}  // namespace

std::string Message(const Result& result)
{
    std::string text = Summary(result.status);
    if (!result.detail.empty())
        text += ": " + result.detail;
    text += '.';
    if (result.skippedBookmarks != 0)
        text += ' ' + std::to_string(result.skippedBookmarks) +
                (result.skippedBookmarks == 1 ? " bookmark was" : " bookmarks were") +
                " skipped (malformed line, position outside the text, or no room left).";
    return text;
}

}  // namespace palm
