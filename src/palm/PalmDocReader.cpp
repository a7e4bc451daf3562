#include "PalmDocDecompressor.h"

#include "BookmarkRecords.h"
#include "ByteOrder.h"
#include "EbookReaders.h"

namespace palm {

namespace {

constexpr std::size_t kHeaderSize = 16;
// No Palm record decodes to more; it bounds what a damaged record can produce.
constexpr std::size_t kMaxDecodedRecord = 65536;

}  // namespace

Result ReadPalmDoc(const PdbDatabase& database, EbookInfo& info, std::uint64_t maxText)
{
    info.format = EbookFormat::PalmDoc;
    const std::string_view header = Record0(database, kHeaderSize);
    if (header.empty())
        return {Status::DamagedDatabase, "record 0 is missing or short"};
    info.compression = GetU16(header, 0);
    info.textLength = GetU32(header, 4);
    info.textRecordCount = GetU16(header, 8);
    info.recordSize = GetU16(header, 10);
    if (info.compression != 1 && info.compression != 2)
        return {Status::DamagedDatabase, "unknown compression " + std::to_string(info.compression)};
    if (Result refusal = TextLengthRefusal(info, maxText); !refusal.Ok())
        return refusal;

    // From here on what can be read is kept, for a reader who asks for it.
    std::string damage;
    const std::size_t textRecords = PresentTextRecords(database, info.textRecordCount, damage);
    // Readers size their buffers by the record size: a record that does not
    // fit would be cut or overrun there, though it can still be read here.
    std::string sizeDamage;
    if (info.recordSize == 0 && textRecords != 0)
        sizeDamage = "record 0 declares a record size of 0";
    // A missing record does not stop the reading; a record that does not decode does.
    for (std::size_t i = 1; i <= textRecords; ++i) {
        const std::string_view record = database.records[i];
        const std::size_t start = info.text.size();
        if (info.compression == 1) {
            info.text += record;
        } else if (!DecompressPalmDocRecord(record, info.text, kMaxDecodedRecord)) {
            if (damage.empty())
                damage = "text record " + std::to_string(i) + " does not decode";
            break;
        }
        if (const std::size_t decoded = info.text.size() - start; sizeDamage.empty() && decoded > info.recordSize)
            sizeDamage = "text record " + std::to_string(i) + " holds " + std::to_string(decoded) +
                         " bytes of text, more than the record size of " + std::to_string(info.recordSize) +
                         " that record 0 declares";
    }
    if (damage.empty())
        damage = LengthDamage(info);
    if (!sizeDamage.empty())
        AddDamage(damage, sizeDamage);
    // Stored bookmarks follow the text; records of another size are not bookmarks.
    for (std::size_t i = textRecords + 1; i < database.records.size(); ++i) {
        const std::string_view record = database.records[i];
        if (record.size() != kPalmDocBookmarkRecord)
            continue;
        info.bookmarks.push_back({FixedName(record.substr(0, kPalmDocBookmarkNameField)), GetU32(record, 16)});
    }
    DropBookmarksPastText(info, damage);
    return Outcome(info, std::move(damage));
}

}  // namespace palm
