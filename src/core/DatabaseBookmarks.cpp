#include <core/DatabaseBookmarks.h>

#include <palm/BookmarkRewrite.h>
#include <palm/EbookReader.h>
#include <platform/Files.h>
#include <platform/Paths.h>

#include <algorithm>

namespace folivo {

namespace {

std::vector<palm::StoredBookmark> StoredForm(const BookmarkList& list)
{
    std::vector<palm::StoredBookmark> bookmarks;
    bookmarks.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        bookmarks.push_back({list.At(i)->name, static_cast<std::uint32_t>(list.At(i)->position)});
    return bookmarks;
}

}  // namespace

Error OpenDatabaseBookmarks(const CString& path, EditedDatabase& database, BookmarkList& list)
{
    std::string bytes;
    if (const platform::FileError error = platform::ReadWholeFile(path, bytes, palm::kMaxDatabaseFile))
        return Error::Failure(error.Message());
    palm::EbookInfo info;
    if (const palm::Result result = palm::ReadEbook(bytes, info); !palm::TextIsWhole(result, info))
        return Error::Failure(palm::Message(result));
    EditedDatabase opened;
    opened.path = path;
    opened.fileName = platform::FileNameOf(path);
    opened.format = info.format == palm::EbookFormat::Ztxt ? DocumentFormat::zTXT : DocumentFormat::PalmDoc;
    opened.findings = palm::CheckDatabase(bytes);
    opened.text = std::move(info.text);
    opened.saved = std::move(info.bookmarks);
    list.SetDocument(path);
    list.Clear();
    for (const palm::StoredBookmark& bookmark : opened.saved)
        list.Add(bookmark.name, static_cast<std::int32_t>(bookmark.offset), false);
    database = std::move(opened);
    return {};
}

bool BookmarksEdited(const EditedDatabase& database, const BookmarkList& list)
{
    return StoredForm(list) != database.saved;
}

Error SaveDatabaseBookmarks(EditedDatabase& database, const BookmarkList& list)
{
    std::vector<palm::StoredBookmark> bookmarks = StoredForm(list);
    if (const palm::Result result = palm::SaveBookmarks(database.path, bookmarks); !result.Ok())
        return Error::Failure(palm::Message(result));
    database.saved = std::move(bookmarks);
    return {};
}

CString FindingsLine(const std::vector<palm::Finding>& findings)
{
    if (findings.empty())
        return {};
    // What stops a book from opening matters most.
    auto first = std::ranges::find(findings, palm::Severity::Refuses, &palm::Finding::severity);
    if (first == findings.end())
        first = findings.begin();
    CString line = first->severity == palm::Severity::Refuses ? "Some readers will not open this book: "
                                                              : "Some readers will show this book wrongly: ";
    if (first->readers != "some readers")
        line += first->readers + ": ";
    line += first->reason;
    if (findings.size() > 1)
        line += " (and " + std::to_string(findings.size() - 1) + " more)";
    return line;
}

}  // namespace folivo
