#include <zlib.h>

#include "BookmarkRecords.h"
#include "ByteOrder.h"
#include "EbookReaders.h"
#include "Inflater.h"

namespace palm {

namespace {

constexpr std::size_t kHeaderSize = 32;

}  // namespace

Result ReadZtxt(const PdbDatabase& database, EbookInfo& info, std::uint64_t maxText)
{
    info.format = EbookFormat::Ztxt;
    const std::string_view header = Record0(database, kHeaderSize);
    if (header.empty())
        return {Status::DamagedDatabase, "record 0 is missing or short"};
    info.ztxtVersion = GetU16(header, 0);
    info.textRecordCount = GetU16(header, 2);
    info.textLength = GetU32(header, 4);
    info.recordSize = GetU16(header, 8);
    const std::size_t bookmarkCount = GetU16(header, 10);
    const std::size_t bookmarkRecord = GetU16(header, 12);
    info.ztxtFlags = static_cast<std::uint8_t>(header[18]);
    info.compression = (info.ztxtFlags & 0x01) ? 1 : 2;
    const std::uint32_t storedCrc = GetU32(header, 20);
    if (Result refusal = TextLengthRefusal(info, maxText); !refusal.Ok())
        return refusal;

    // From here on what can be read is kept, for a reader who asks for it.
    std::string damage;
    const std::size_t textRecords = PresentTextRecords(database, info.textRecordCount, damage);
    uLong crc = crc32(0, nullptr, 0);
    Inflater inflater;
    // A random-access record holds at most the record size of text, so what
    // one record may inflate to is bounded by that as well as by the length;
    // entire-document records are cut from the compressed stream, and only
    // the length bounds them.
    const bool randomAccess = info.compression == 1;
    const std::string overLength = "more text than record 0 declares";
    const std::string overRecord =
        "more text than the record size of " + std::to_string(info.recordSize) + " bytes that record 0 declares";
    // A missing record does not stop the reading; a record that does not inflate does.
    for (std::size_t i = 1; i <= textRecords; ++i) {
        const std::string_view record = database.records[i];
        crc = crc32(crc, reinterpret_cast<const Bytef*>(record.data()), static_cast<uInt>(record.size()));
        const std::size_t recordLimit = info.text.size() + info.recordSize;
        const bool recordBound = randomAccess && recordLimit < info.textLength;
        const std::string error = inflater.Feed(record, info.text, recordBound ? recordLimit : info.textLength,
                                                recordBound ? overRecord : overLength);
        if (!error.empty()) {
            if (damage.empty())
                damage = "text record " + std::to_string(i) + ": " + error;
            break;
        }
    }
    if (damage.empty() && storedCrc != 0 && storedCrc != crc)
        damage = "CRC-32 of the text records does not match";
    if (damage.empty())
        damage = LengthDamage(info);
    if (damage.empty() && info.compression == 2 && !info.text.empty() && !inflater.Ended())
        damage = "the zlib stream is cut short";

    if (bookmarkCount != 0) {
        if (bookmarkRecord != 0 && bookmarkRecord <= info.textRecordCount) {
            AddDamage(damage, "the bookmark record is text record " + std::to_string(bookmarkRecord));
        } else if (bookmarkRecord == 0 || bookmarkRecord >= database.records.size() ||
                   database.records[bookmarkRecord].size() < bookmarkCount * kZtxtBookmarkEntry) {
            AddDamage(damage, "bookmark record missing or short");
        } else {
            const std::string_view record = database.records[bookmarkRecord];
            for (std::size_t i = 0; i < bookmarkCount; ++i) {
                const std::size_t at = i * kZtxtBookmarkEntry;
                info.bookmarks.push_back({FixedName(record.substr(at + 4, kZtxtBookmarkName)), GetU32(record, at)});
            }
        }
    }
    DropBookmarksPastText(info, damage);
    return Outcome(info, std::move(damage));
}

}  // namespace palm
