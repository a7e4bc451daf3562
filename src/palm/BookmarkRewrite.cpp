#include <palm/BookmarkRewrite.h>

#include <algorithm>
#include <optional>
#include <unordered_set>

#include <palm/EbookReader.h>

#include "BookmarkRecords.h"
#include "ByteOrder.h"
#include "Files.h"
#include "PdbContainer.h"

namespace palm {

namespace {

// Header fields the rewrite sets; the rest of the 78 bytes is copied.
constexpr std::size_t kModifiedField = 40;
constexpr std::size_t kAppInfoField = 52;
constexpr std::size_t kSortInfoField = 56;
constexpr std::size_t kRecordCountField = 76;
// zTXT record 0: the bookmark count and record, then the annotation record.
constexpr std::size_t kZtxtBookmarkCount = 10;
constexpr std::size_t kZtxtAnnotationRecord = 16;
// A record made here is marked dirty, as changed since the last HotSync.
constexpr std::uint32_t kNewRecordAttributes = 0x40;

// One record of the rewritten database.
struct Record {
    std::string_view kept;  // a kept record's bytes, in the file
    std::string made;       // the bytes of a record made or changed here
    bool changed = false;
    // Its record-list entry (attributes << 24 | unique id); none for a new record.
    std::optional<std::uint32_t> entry;

    std::string_view Bytes() const { return changed ? std::string_view(made) : kept; }
};

Record Made(std::string bytes, std::optional<std::uint32_t> entry = std::nullopt)
{
    return Record{{}, std::move(bytes), true, entry};
}

std::uint32_t EntryOf(std::string_view file, std::size_t index)
{
    return GetU32(file, kPdbHeaderSize + kPdbEntrySize * index + 4);
}

std::string Count(std::size_t n, const char* what)
{
    return std::to_string(n) + ' ' + what + (n == 1 ? "" : "s");
}

Result CheckBookmarks(const std::vector<StoredBookmark>& bookmarks, std::uint32_t textLength)
{
    for (std::size_t i = 0; i < bookmarks.size(); ++i) {
        const std::string which = "bookmark " + std::to_string(i + 1);
        if (bookmarks[i].offset > textLength)
            return {Status::BookmarkPastText, which + " lies at " + std::to_string(bookmarks[i].offset) +
                                                  ", the text holds " + Count(textLength, "byte")};
        // The stored name would end there: it would not read back as given.
        if (bookmarks[i].name.find('\0') != std::string::npos)
            return {Status::InvalidArgument, which + "'s name holds a NUL byte"};
    }
    return {};
}

Result NoRoom(std::size_t asked, std::size_t room)
{
    return {Status::TooManyBookmarks, Count(asked, "bookmark") + " asked for, room for " + std::to_string(room)};
}

// Record 0, the text, the bookmarks as given, then the records of other sizes.
Result ArrangePalmDoc(const EbookInfo& info, const std::vector<StoredBookmark>& bookmarks, std::vector<Record>& records)
{
    const std::size_t textEnd = 1 + info.textRecordCount;
    std::vector<std::uint32_t> bookmarkEntries;
    std::vector<Record> others;
    for (std::size_t i = textEnd; i < records.size(); ++i) {
        if (records[i].kept.size() == kPalmDocBookmarkRecord)
            bookmarkEntries.push_back(*records[i].entry);
        else
            others.push_back(std::move(records[i]));
    }
    const std::size_t room = kPdbMaxRecords - textEnd - others.size();
    if (bookmarks.size() > room)
        return NoRoom(bookmarks.size(), room);
    records.resize(textEnd);
    for (std::size_t i = 0; i < bookmarks.size(); ++i)
        records.push_back(Made(PalmDocBookmarkRecord(bookmarks[i]),
                               i < bookmarkEntries.size() ? std::optional(bookmarkEntries[i]) : std::nullopt));
    std::move(others.begin(), others.end(), std::back_inserter(records));
    return {};
}

// The bookmark record is replaced where it is, dropped, or made right after
// the text; record 0 counts it and points at it and at the annotations.
Result ArrangeZtxt(const EbookInfo& info, const std::vector<StoredBookmark>& bookmarks, std::vector<Record>& records)
{
    if (bookmarks.size() > kZtxtMaxBookmarks)
        return NoRoom(bookmarks.size(), kZtxtMaxBookmarks);
    std::vector<StoredBookmark> sorted = bookmarks;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const StoredBookmark& a, const StoredBookmark& b) { return a.offset < b.offset; });

    const std::string_view header = records[0].kept;
    // The reader found the bookmark record after the text when it counts any.
    std::size_t at = GetU16(header, kZtxtBookmarkCount) != 0 ? GetU16(header, kZtxtBookmarkCount + 2) : 0;
    std::size_t annotations = GetU16(header, kZtxtAnnotationRecord);
    // Only an index that names a record follows the records moving.
    const bool annotated = annotations != 0 && annotations < records.size();
    if (at != 0 && sorted.empty()) {
        records.erase(records.begin() + static_cast<std::ptrdiff_t>(at));
        if (annotated && annotations > at)
            --annotations;
        at = 0;
    } else if (at != 0) {
        records[at] = Made(ZtxtBookmarkRecord(sorted), records[at].entry);
    } else if (!sorted.empty()) {
        if (records.size() == kPdbMaxRecords)
            return NoRoom(sorted.size(), 0);
        at = 1 + info.textRecordCount;
        records.insert(records.begin() + static_cast<std::ptrdiff_t>(at), Made(ZtxtBookmarkRecord(sorted)));
        if (annotated && annotations >= at)
            ++annotations;
    }
    std::string record0(header.substr(0, kZtxtBookmarkCount));
    PutU16(record0, static_cast<std::uint32_t>(sorted.size()));
    PutU16(record0, static_cast<std::uint32_t>(at));
    record0 += header.substr(kZtxtBookmarkCount + 4, kZtxtAnnotationRecord - kZtxtBookmarkCount - 4);
    PutU16(record0, static_cast<std::uint32_t>(annotations));
    record0 += header.substr(kZtxtAnnotationRecord + 2);
    records[0] = Made(std::move(record0), records[0].entry);
    return {};
}

// The file around the new records: its header with the new date, count and
// shifted block offsets, the record list, then the bytes that lay between
// the old list and the first record (the gap, the app-info and sort-info
// blocks) as they were.
Result Assemble(std::string_view file, const std::vector<Record>& records, std::uint32_t modified,
                std::string& rewritten)
{
    const std::size_t oldCount = GetU16(file, kRecordCountField);
    const std::size_t listEnd = kPdbHeaderSize + kPdbEntrySize * oldCount;
    const std::size_t firstRecord = GetU32(file, kPdbHeaderSize);
    const std::size_t newListEnd = kPdbHeaderSize + kPdbEntrySize * records.size();
    std::uint32_t blocks[2] = {GetU32(file, kAppInfoField), GetU32(file, kSortInfoField)};
    for (std::uint32_t& block : blocks) {
        if (block == 0)
            continue;
        // A block among the records would have to move with them.
        if (block < listEnd || block >= firstRecord)
            return {Status::DamagedDatabase,
                    "an app-info or sort-info block lies outside the space before the records"};
        block = static_cast<std::uint32_t>(block - listEnd + newListEnd);
    }

    std::unordered_set<std::uint32_t> ids;
    std::uint32_t highest = 0;
    for (std::size_t i = 0; i < oldCount; ++i) {
        const std::uint32_t id = EntryOf(file, i) & 0xFFFFFF;
        ids.insert(id);
        highest = std::max(highest, id);
    }
    std::uint32_t nextId = highest + 1;
    const auto freshId = [&] {
        // Ids are 24 bits: past the highest they start again from the lowest free one.
        while (ids.contains(nextId & 0xFFFFFF))
            ++nextId;
        ids.insert(nextId & 0xFFFFFF);
        return nextId++ & 0xFFFFFF;
    };

    const std::string_view preamble = file.substr(listEnd, firstRecord - listEnd);
    std::size_t total = newListEnd + preamble.size();
    for (const Record& record : records)
        total += record.Bytes().size();
    // Record offsets are 32 bits.
    if (total - records.back().Bytes().size() > UINT32_MAX)
        return {Status::TooManyBookmarks, "the database would outgrow its 32-bit record offsets"};
    std::string out;
    out.reserve(total);
    out += file.substr(0, kModifiedField);
    PutU32(out, modified);
    out += file.substr(kModifiedField + 4, kAppInfoField - kModifiedField - 4);
    PutU32(out, blocks[0]);
    PutU32(out, blocks[1]);
    out += file.substr(kSortInfoField + 4, kRecordCountField - kSortInfoField - 4);
    PutU16(out, static_cast<std::uint32_t>(records.size()));
    std::size_t offset = newListEnd + preamble.size();
    for (const Record& record : records) {
        PutU32(out, static_cast<std::uint32_t>(offset));
        PutU32(out, record.entry ? *record.entry : kNewRecordAttributes << 24 | freshId());
        offset += record.Bytes().size();
    }
    out += preamble;
    for (const Record& record : records)
        out += record.Bytes();
    rewritten = std::move(out);
    return {};
}

}  // namespace

Result RewriteBookmarks(std::string_view file, const std::vector<StoredBookmark>& bookmarks, std::uint32_t modified,
                        std::string& rewritten)
{
    EbookInfo info;
    // A file whose one fault is its declared length keeps it: the bookmarks
    // must lie in the text its records hold.
    if (Result read = ReadEbook(file, info); !TextIsWhole(read, info))
        return read;
    const auto textLength = static_cast<std::uint32_t>(std::min<std::size_t>(info.text.size(), info.textLength));
    if (Result checked = CheckBookmarks(bookmarks, textLength); !checked.Ok())
        return checked;
    // ReadEbook has split the same bytes already.
    PdbDatabase database;
    std::string error;
    if (!ParsePdb(file, database, error))
        return {Status::DamagedDatabase, error};
    std::vector<Record> records(database.records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].kept = database.records[i];
        records[i].entry = EntryOf(file, i);
    }
    const Result arranged = info.format == EbookFormat::PalmDoc ? ArrangePalmDoc(info, bookmarks, records)
                                                                : ArrangeZtxt(info, bookmarks, records);
    if (!arranged.Ok())
        return arranged;
    if (Result assembled = Assemble(file, records, modified, rewritten); !assembled.Ok())
        return assembled;
    Result result;
    result.storedBookmarks = bookmarks.size();
    return result;
}

Result SaveBookmarks(const std::string& path, const std::vector<StoredBookmark>& bookmarks)
{
    std::string file;
    if (Result read = ReadInput(path, file, Status::DatabaseUnreadable, kMaxDatabaseFile); !read.Ok())
        return read;
    std::string rewritten;
    const Result result = RewriteBookmarks(file, bookmarks, PalmTimeNow(), rewritten);
    if (!result.Ok())
        return result;
    if (Result stored = StoreDatabase(path, rewritten); !stored.Ok())
        return stored;
    return result;
}

}  // namespace palm
