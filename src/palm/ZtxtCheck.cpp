// zTXT as the readers take it: record 0, the zlib stream of the text records
// and the bookmark record.
#include <zlib.h>

#include "BookmarkRecords.h"
#include "ByteOrder.h"
#include "DatabaseChecks.h"
#include "Inflater.h"

namespace palm::check {

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::uint16_t kLeastCalibreVersion = 0x0128;  // 1.40: major byte, minor byte in decimal
constexpr std::uint8_t kRandomAccess = 0x01;
constexpr std::uint8_t kNonUniform = 0x02;

std::string TextRecord(std::size_t i)
{
    return "text record " + std::to_string(i);
}

// A zlib header without a preset dictionary: calibre feeds the records to a
// zlib decompressor, and FBReader skips these two bytes and inflates raw.
bool StartsWithZlibHeader(std::string_view record)
{
    if (record.size() < 2)
        return false;
    const unsigned cmf = static_cast<unsigned char>(record[0]);
    const unsigned flg = static_cast<unsigned char>(record[1]);
    return (cmf & 0x0F) == Z_DEFLATED && (cmf >> 4) <= 7 && (cmf << 8 | flg) % 31 == 0 && (flg & 0x20) == 0;
}

struct Fields {
    std::uint16_t version;
    std::size_t counted;
    std::size_t textLength;
    std::size_t recordSize;
    std::size_t bookmarkCount;
    std::size_t bookmarkRecord;
    std::uint8_t flags;
    std::uint32_t crc;
};

// The text as calibre reads it: one zlib stream over the text records. Each
// random-access record holds at most the record size of text; FBReader, which
// inflates every record into a buffer of that size, cuts the rest.
std::string InflateText(const DatabaseView& database, const Fields& fields, std::size_t textRecords,
                        FindingList& findings)
{
    std::string text;
    // A record size of 0 is a fault of its own: no record is bounded by it.
    const bool recordBound = (fields.flags & kRandomAccess) != 0 && fields.recordSize != 0;
    const std::string overRecord = "over the record size";
    const std::string overText = "over the text length";
    Inflater inflater;
    for (std::size_t i = 1; i <= textRecords; ++i) {
        const RecordView& record = database.records[i];
        // Without that bound (entire document, or no record size) the text length bounds it.
        const std::size_t limit = recordBound ? text.size() + fields.recordSize : fields.textLength;
        const std::string error = inflater.Feed(record.bytes, text, limit, recordBound ? overRecord : overText);
        if (error == overRecord) {
            findings.ShowsWrongly(record.at, "FBReader",
                                  TextRecord(i) + " inflates to more than the record size of " +
                                      std::to_string(fields.recordSize) + " bytes that record 0 declares");
            return {};
        }
        if (error == overText) {
            findings.ShowsWrongly(record.at, "some readers",
                                  "the text records inflate to more than the " + std::to_string(fields.textLength) +
                                      " bytes of text record 0 declares");
            return {};
        }
        if (!error.empty()) {
            findings.Refuses(record.at, "calibre", TextRecord(i) + " does not inflate (" + error + ")");
            return {};
        }
    }
    CheckTextLength(fields.textLength, text.size(), false, database.records[0].at + 4, findings);
    return text;
}

// FBReader starts a fresh raw inflater at each record (after the two header
// bytes of the first), so every record must start a new deflate history: a
// full flush between records, as random-access books are made.
void CheckRecordsStandAlone(const DatabaseView& database, const Fields& fields, std::size_t textRecords,
                            FindingList& findings)
{
    for (std::size_t i = 1; i <= textRecords; ++i) {
        const RecordView& record = database.records[i];
        std::string text;
        Inflater raw(true);
        const std::string error = raw.Feed(i == 1 ? record.bytes.substr(2) : record.bytes, text, fields.recordSize, "");
        if (!error.empty()) {
            findings.ShowsWrongly(record.at, "FBReader",
                                  TextRecord(i) + " does not inflate on its own, so FBReader cannot show it (" + error +
                                      ")");
            return;
        }
    }
}

void CheckCrc(const DatabaseView& database, const Fields& fields, std::size_t textRecords, FindingList& findings)
{
    if (fields.crc == 0)
        return;
    uLong crc = crc32(0, nullptr, 0);
    for (std::size_t i = 1; i <= textRecords; ++i)
        crc = crc32(crc, reinterpret_cast<const Bytef*>(database.records[i].bytes.data()),
                    static_cast<uInt>(database.records[i].bytes.size()));
    // Weasel Reader's own reading code checks it over the stored records.
    if (crc != fields.crc)
        findings.ShowsWrongly(database.records[0].at + 20, "Weasel Reader",
                              "the CRC-32 in record 0 does not match the text records");
}

// The bookmark record: entries of a u32 offset and a 20-byte title, which
// Weasel Reader lists in ascending order; calibre and FBReader ignore them.
void CheckBookmarks(const DatabaseView& database, const Fields& fields, std::size_t textLength, FindingList& findings)
{
    if (fields.bookmarkCount == 0)
        return;
    const std::size_t at = database.records[0].at + 10;
    const std::string counted = "record 0 counts " + std::to_string(fields.bookmarkCount) + " bookmarks";
    if (fields.bookmarkRecord == 0 || fields.bookmarkRecord >= database.records.size()) {
        findings.ShowsWrongly(at, "Weasel Reader", counted + ", but its bookmark record is missing");
        return;
    }
    if (fields.bookmarkRecord <= fields.counted) {
        findings.ShowsWrongly(at, "Weasel Reader",
                              counted + " in record " + std::to_string(fields.bookmarkRecord) + ", a text record");
        return;
    }
    const RecordView& record = database.records[fields.bookmarkRecord];
    if (record.bytes.size() < fields.bookmarkCount * kZtxtBookmarkEntry) {
        findings.ShowsWrongly(record.at, "Weasel Reader", counted + ", its bookmark record is too short for them");
        return;
    }
    std::uint32_t previous = 0;
    bool unordered = false;
    for (std::size_t i = 0; i < fields.bookmarkCount; ++i) {
        const std::size_t entry = i * kZtxtBookmarkEntry;
        const std::uint32_t offset = GetU32(record.bytes, entry);
        const std::string bookmark = "bookmark '" + FixedName(record.bytes.substr(entry + 4, kZtxtBookmarkName)) + "'";
        if (offset > textLength)
            findings.ShowsWrongly(record.at + entry, "Weasel Reader",
                                  bookmark + " points past the text (byte " + std::to_string(offset) + " of " +
                                      std::to_string(textLength) + ")");
        if (offset < previous && !unordered) {
            unordered = true;
            findings.ShowsWrongly(record.at + entry, "Weasel Reader",
                                  bookmark + " is out of order: the bookmarks must ascend by offset");
        }
        previous = offset;
    }
}

}  // namespace

void CheckZtxt(const DatabaseView& database, FindingList& findings)
{
    const RecordView& record0 = database.records[0];
    const std::string_view header = record0.bytes;
    if (header.size() < kHeaderSize) {
        findings.Refuses(record0.at, "all readers", "record 0 is missing or shorter than the 32-byte zTXT header");
        return;
    }
    const Fields fields{GetU16(header, 0),
                        GetU16(header, 2),
                        GetU32(header, 4),
                        GetU16(header, 8),
                        GetU16(header, 10),
                        GetU16(header, 12),
                        static_cast<std::uint8_t>(header[18]),
                        GetU32(header, 20)};
    // calibre refuses versions below 1.40 and books without random access;
    // Weasel Reader 1.60 and later read random-access books only.
    if (fields.version < kLeastCalibreVersion)
        findings.Refuses(record0.at, "calibre",
                         "zTXT version " + std::to_string(fields.version >> 8) + "." +
                             std::to_string(fields.version & 0xFF) + " is below 1.40, the least calibre reads");
    const bool randomAccess = (fields.flags & kRandomAccess) != 0;
    if (!randomAccess)
        findings.Refuses(record0.at + 18, "calibre and Weasel Reader",
                         "entire-document compression (the random-access flag is clear): these readers open "
                         "random-access books only, and FBReader shows the first record only");
    if ((fields.flags & kNonUniform) != 0)
        findings.ShowsWrongly(record0.at + 18, "Weasel Reader",
                              "the non-uniform records flag (0x02) is set, which Weasel Reader does not support");
    if (fields.counted == 0)
        findings.Refuses(record0.at + 2, "all readers", "record 0 counts no text record");
    // calibre fails on the first counted record that is not there.
    if (fields.counted >= database.records.size())
        findings.Refuses(record0.at + 2, "calibre",
                         "record 0 counts " + std::to_string(fields.counted) +
                             " text records, the database holds only " + std::to_string(database.records.size() - 1) +
                             " records after record 0");
    // FBReader gives up on a record size of 0.
    if (fields.recordSize == 0)
        findings.Refuses(record0.at + 8, "FBReader", "record 0 declares a record size of 0");

    const std::size_t textRecords = std::min(fields.counted, database.records.size() - 1);
    if (textRecords == 0)
        return;
    std::string text;
    if (!StartsWithZlibHeader(database.records[1].bytes))
        findings.Refuses(database.records[1].at, "calibre", "text record 1 does not start with a zlib header");
    else
        text = InflateText(database, fields, textRecords, findings);
    if (randomAccess && fields.recordSize != 0 && !text.empty())
        CheckRecordsStandAlone(database, fields, textRecords, findings);
    CheckCrc(database, fields, textRecords, findings);
    // Where the text cannot be inflated, its declared length is all there is to go by.
    CheckBookmarks(database, fields, text.empty() ? fields.textLength : text.size(), findings);
    if (!text.empty())
        CheckMarkup({text, {}, true, database.records[1].at}, findings);
}

}  // namespace palm::check
