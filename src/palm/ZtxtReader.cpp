#include <zlib.h>

#include <algorithm>
#include <new>

#include "BookmarkRecords.h"
#include "ByteOrder.h"
#include "EbookReaders.h"

namespace palm {

namespace {

constexpr std::size_t kHeaderSize = 32;

class Inflater {
public:
    Inflater() { m_ok = inflateInit(&m_stream) == Z_OK; }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    ~Inflater()
    {
        if (m_ok)
            inflateEnd(&m_stream);
    }

    // Feeds one record, appending its output to text without ever letting
    // text grow beyond limit; what would is `overLimit`, with text filled up
    // to the limit. Returns an error text, empty on success.
    std::string Feed(std::string_view record, std::string& text, std::size_t limit, const std::string& overLimit)
    {
        if (!m_ok)
            return "zlib cannot start";
        if (m_ended)
            return record.empty() ? "" : "data after the end of the zlib stream";
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(record.data()));
        m_stream.avail_in = static_cast<uInt>(record.size());
        unsigned char buffer[16384];
        for (;;) {
            m_stream.next_out = buffer;
            m_stream.avail_out = sizeof buffer;
            const int status = inflate(&m_stream, Z_SYNC_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                return m_stream.msg ? m_stream.msg : "inflate failed";
            const std::size_t produced = sizeof buffer - m_stream.avail_out;
            const std::size_t room = limit - text.size();
            try {
                text.append(reinterpret_cast<const char*>(buffer), std::min(produced, room));
            } catch (const std::bad_alloc&) {
                // Within its bounds a text may still exceed the memory at hand.
                return "the text does not fit in memory";
            }
            if (produced > room)
                return overLimit;
            if (status == Z_STREAM_END) {
                m_ended = true;
                return m_stream.avail_in == 0 ? "" : "data after the end of the zlib stream";
            }
            // Room left over means the input is used up and nothing is pending.
            if (m_stream.avail_out != 0)
                break;
        }
        return "";
    }

    bool Ended() const { return m_ended; }

private:
    z_stream m_stream{};
    bool m_ok = false;
    bool m_ended = false;
};

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
