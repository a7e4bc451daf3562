// PalmDoc (TEXt) as the readers take it: record 0, the text records and the
// stored bookmarks after them.
#include "BookmarkRecords.h"
#include "ByteOrder.h"
#include "DatabaseChecks.h"
#include "PalmDocDecompressor.h"

namespace palm::check {

namespace {

constexpr std::size_t kHeaderSize = 16;
// The record size the format fixes; some readers expect no longer records.
constexpr std::size_t kFormatRecordSize = 4096;
// No Palm record decodes to more; it bounds what a damaged record can produce.
constexpr std::size_t kMaxDecodedRecord = 65536;

std::string TextRecord(std::size_t i)
{
    return "text record " + std::to_string(i);
}

// The faults of one compressed record. No reader rejects the book for them:
// KOReader and CoolReader write '?' for a copy from before the record,
// FBReader leaves it out and calibre copies whatever lies there.
void ReportFault(PalmDocFault fault, std::size_t i, std::size_t at, FindingList& findings)
{
    switch (fault) {
    case PalmDocFault::None: return;
    case PalmDocFault::BeforeStart:
        findings.ShowsWrongly(at, "all readers", TextRecord(i) + " copies from before its own start");
        return;
    case PalmDocFault::DistanceZero:
        findings.ShowsWrongly(at, "all readers", TextRecord(i) + " holds a copy of distance 0");
        return;
    case PalmDocFault::CutShort:
        findings.ShowsWrongly(at, "all readers", TextRecord(i) + " ends inside a counted run or a copy");
        return;
    case PalmDocFault::TooLong:
        findings.ShowsWrongly(at, "all readers",
                              TextRecord(i) + " decodes to more than " + std::to_string(kMaxDecodedRecord) + " bytes");
        return;
    }
}

// The decoded text records, with what their sizes break.
struct DecodedText {
    std::string text;
    std::string firstRecord;
};

DecodedText DecodeText(const DatabaseView& database, std::size_t textRecords, bool compressed, std::size_t recordSize,
                       FindingList& findings)
{
    DecodedText decoded;
    std::size_t overFormat = 0;  // records longer than the format's size
    std::size_t firstOverFormat = 0;
    bool overDeclared = false;
    for (std::size_t i = 1; i <= textRecords; ++i) {
        const RecordView& record = database.records[i];
        const std::size_t start = decoded.text.size();
        if (compressed)
            ReportFault(DecodePalmDocRecord(record.bytes, decoded.text, kMaxDecodedRecord, true), i, record.at,
                        findings);
        else
            decoded.text += record.bytes.substr(0, kMaxDecodedRecord);
        const std::size_t size = decoded.text.size() - start;
        if (i == 1)
            decoded.firstRecord = decoded.text;
        if (size > kFormatRecordSize && overFormat++ == 0)
            firstOverFormat = i;
        // FBReader decodes each record into a buffer of the declared size and
        // drops what does not fit.
        if (recordSize != 0 && size > recordSize && !overDeclared) {
            overDeclared = true;
            findings.ShowsWrongly(record.at, "FBReader",
                                  TextRecord(i) + " decodes to " + std::to_string(size) +
                                      " bytes, more than the record size of " + std::to_string(recordSize) +
                                      " that record 0 declares: the rest is cut");
        }
    }
    if (overFormat != 0)
        findings.ShowsWrongly(database.records[firstOverFormat].at, "some readers",
                              std::to_string(overFormat) + " text records (the first: " + TextRecord(firstOverFormat) +
                                  ") decode to more than the " + std::to_string(kFormatRecordSize) +
                                  " bytes the format fixes");
    return decoded;
}

// Stored bookmarks: the 20-byte records after the text, a name of at most 15
// bytes ended by a zero byte, then the offset. Palm OS readers (CSpotRun,
// AportisDoc, TealDoc and others) list them; calibre and FBReader do not.
void CheckBookmarks(const DatabaseView& database, std::size_t textRecords, std::size_t textLength,
                    FindingList& findings)
{
    for (std::size_t i = textRecords + 1; i < database.records.size(); ++i) {
        const RecordView& record = database.records[i];
        if (record.bytes.size() != kPalmDocBookmarkRecord)
            continue;
        const std::string name = FixedName(record.bytes.substr(0, kPalmDocBookmarkNameField));
        const std::string bookmark = "bookmark '" + name + "' (record " + std::to_string(i) + ")";
        if (record.bytes.substr(0, kPalmDocBookmarkNameField).find('\0') == std::string_view::npos)
            findings.ShowsWrongly(record.at, "Palm OS readers",
                                  bookmark + ": its name fills 16 bytes without an ending zero byte");
        if (const std::uint32_t offset = GetU32(record.bytes, kPalmDocBookmarkNameField); offset > textLength)
            findings.ShowsWrongly(record.at + kPalmDocBookmarkNameField, "Palm OS readers",
                                  bookmark + " points past the text (byte " + std::to_string(offset) + " of " +
                                      std::to_string(textLength) + ")");
    }
}

}  // namespace

void CheckPalmDoc(const DatabaseView& database, FindingList& findings)
{
    const RecordView& record0 = database.records[0];
    const std::string_view header = record0.bytes;
    if (header.size() < kHeaderSize) {
        findings.Refuses(record0.at, "all readers", "record 0 is missing or shorter than the 16-byte PalmDoc header");
        return;
    }
    const std::uint16_t compression = GetU16(header, 0);
    const std::size_t textLength = GetU32(header, 4);
    const std::size_t counted = GetU16(header, 8);
    const std::size_t recordSize = GetU16(header, 10);
    // calibre also takes 258 as compressed; FBReader, KOReader and
    // CoolReader take only 1 and 2.
    if (compression != 1 && compression != 2) {
        findings.Refuses(record0.at, compression == 258 ? "FBReader, KOReader and CoolReader" : "all readers",
                         "unknown compression " + std::to_string(compression) + " in record 0");
        if (compression != 258)
            return;
    }
    if (counted == 0)
        findings.Refuses(record0.at + 8, "all readers", "record 0 counts no text record");
    // KOReader and CoolReader refuse a count not below the database's record
    // count; calibre fails on the first record that is not there; FBReader
    // reads those that are.
    if (counted >= database.records.size())
        findings.Refuses(record0.at + 8, "calibre, KOReader and CoolReader",
                         "record 0 counts " + std::to_string(counted) + " text records, the database holds only " +
                             std::to_string(database.records.size() - 1) + " records after record 0");
    // FBReader gives up on a record size of 0.
    if (recordSize == 0)
        findings.Refuses(record0.at + 10, "FBReader", "record 0 declares a record size of 0");

    const std::size_t textRecords = std::min(counted, database.records.size() - 1);
    const DecodedText decoded = DecodeText(database, textRecords, compression != 1, recordSize, findings);
    const std::size_t textAt = textRecords != 0 ? database.records[1].at : record0.at;
    CheckTextLength(textLength, decoded.text.size(), true, record0.at + 4, findings);

    // FBReader reads a PalmDoc book with records after its text as
    // Mobipocket-style HTML, where line breaks are mere spaces.
    const bool recordsFollow = textRecords + 1 < database.records.size();
    if (recordsFollow && textRecords != 0)
        findings.ShowsWrongly(database.records[textRecords + 1].at, "FBReader",
                              "records follow the text (stored bookmarks), so FBReader reads the text as HTML: its "
                              "line breaks are lost");
    CheckBookmarks(database, textRecords, decoded.text.size(), findings);
    if (textRecords != 0)
        CheckMarkup({decoded.text, decoded.firstRecord, !recordsFollow, textAt}, findings);
}

}  // namespace palm::check
