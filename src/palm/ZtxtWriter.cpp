#include <zlib.h>

#include <atomic>

#include <palm/EbookWriters.h>

#include "BookmarkRecords.h"
#include "ByteOrder.h"
#include "PdbContainer.h"
#include "WriterSteps.h"

namespace palm {

namespace {

// Deflates with the settings every zTXT reader is known to accept: a zlib
// stream, or with `raw` the same without the zlib header.
class Deflater {
public:
    explicit Deflater(bool raw = false)
    {
        m_ok = deflateInit2(&m_stream, 9, Z_DEFLATED, raw ? -15 : 15, 9, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    ~Deflater()
    {
        if (m_ok)
            deflateEnd(&m_stream);
    }

    // Appends the output for input, ended by `flush` (Z_FULL_FLUSH or Z_FINISH).
    bool Run(std::string_view input, int flush, std::string& out)
    {
        if (!m_ok)
            return false;
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
        m_stream.avail_in = static_cast<uInt>(input.size());
        unsigned char buffer[16384];
        for (;;) {
            m_stream.next_out = buffer;
            m_stream.avail_out = sizeof buffer;
            const int status = deflate(&m_stream, flush);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                return false;
            out.append(reinterpret_cast<const char*>(buffer), sizeof buffer - m_stream.avail_out);
            if (flush == Z_FINISH ? status == Z_STREAM_END : m_stream.avail_out != 0)
                return true;
        }
    }

    // Starts a new stream with the same settings and the memory it has.
    bool Reset() { return m_ok && deflateReset(&m_stream) == Z_OK; }

private:
    z_stream m_stream{};
    bool m_ok = false;
};

// The random-access stream: one zlib stream with a full flush after each
// record, so that a reader can start inflating at any record. A full flush
// leaves the compressor as a new stream would be (no history, no pending
// bits), so each record is what a fresh raw stream makes of it, and the
// records are deflated on all cores; only the first carries the zlib header.
Result DeflateRecords(std::string_view text, std::uint32_t recordSize, std::vector<std::string>& records)
{
    const std::size_t count = (text.size() + recordSize - 1) / recordSize;
    const std::size_t first = records.size();
    records.resize(first + count);
    std::atomic<bool> failed{false};
    ShareOutRecords(count, [&](std::size_t start, std::size_t stride) {
        Deflater raw(true);
        for (std::size_t i = start; i < count && !failed; i += stride) {
            const std::string_view input = text.substr(i * recordSize, recordSize);
            bool ok = false;
            if (i == 0)
                ok = Deflater().Run(input, Z_FULL_FLUSH, records[first]);
            else
                ok = raw.Reset() && raw.Run(input, Z_FULL_FLUSH, records[first + i]);
            if (!ok)
                failed = true;
        }
    });
    return failed ? Result{Status::OutputWriteFailed, "zlib"} : Result{};
}

Result CompressText(std::string_view text, ZtxtMode mode, std::uint32_t recordSize, std::vector<std::string>& records)
{
    if (mode == ZtxtMode::RandomAccess)
        return DeflateRecords(text, recordSize, records);
    std::string stream;
    if (!Deflater().Run(text, Z_FINISH, stream))
        return {Status::OutputWriteFailed, "zlib"};
    for (std::size_t start = 0; start < stream.size(); start += recordSize)
        records.push_back(stream.substr(start, recordSize));
    return {};
}

}  // namespace

Result BuildZtxt(const BookContent& content, ZtxtMode mode, std::string& database)
{
    if (Result checked = CheckContent(content); !checked.Ok())
        return checked;
    if (mode != ZtxtMode::RandomAccess && mode != ZtxtMode::EntireDocument)
        return {Status::InvalidArgument, "compression mode " + std::to_string(static_cast<int>(mode))};
    const std::string text = ZtxtText(content.text);
    if (text.size() > UINT32_MAX)
        return {Status::TextTooLong, std::to_string(text.size()) + " bytes"};

    // A random-access record holds recordSize bytes of text, so a text that
    // needs too many is known before anything is compressed; entire-document
    // records are counted once the stream is made.
    const std::size_t accessRecords = (text.size() + content.recordSize - 1) / content.recordSize;
    if (mode == ZtxtMode::RandomAccess && 1 + accessRecords > kPdbMaxRecords)
        return {Status::TextTooLong, std::to_string(text.size()) + " bytes"};
    std::vector<std::string> records(1);
    if (Result compressed = CompressText(text, mode, content.recordSize, records); !compressed.Ok())
        return compressed;
    const std::size_t textRecords = records.size() - 1;
    if (records.size() > kPdbMaxRecords)
        return {Status::TextTooLong, std::to_string(text.size()) + " bytes"};

    std::vector<StoredBookmark> bookmarks = content.bookmarks;
    Result result;
    const std::size_t room = records.size() < kPdbMaxRecords ? kZtxtMaxBookmarks : 0;
    ArrangeBookmarks(bookmarks, text.size(), room, result);

    uLong crc = crc32(0, nullptr, 0);
    for (std::size_t i = 1; i < records.size(); ++i)
        crc = crc32(crc, reinterpret_cast<const Bytef*>(records[i].data()), static_cast<uInt>(records[i].size()));

    std::string& header = records[0];
    PutU16(header, 0x012C);  // format version 1.44
    PutU16(header, static_cast<std::uint32_t>(textRecords));
    PutU32(header, static_cast<std::uint32_t>(text.size()));
    PutU16(header, content.recordSize);
    PutU16(header, static_cast<std::uint32_t>(bookmarks.size()));
    PutU16(header, bookmarks.empty() ? 0 : static_cast<std::uint32_t>(records.size()));
    PutU16(header, 0);  // annotations
    PutU16(header, 0);  // annotation record
    header += static_cast<char>(mode == ZtxtMode::RandomAccess ? 0x01 : 0x00);
    header += '\0';
    PutU32(header, static_cast<std::uint32_t>(crc));
    header.append(8, '\0');
    if (!bookmarks.empty())
        records.push_back(ZtxtBookmarkRecord(bookmarks));

    PdbHeader pdb = EbookHeader(content.title, "zTXT", "GPlm", 0x424200);
    pdb.attributes = 0x0008;  // backup
    pdb.version = 0x012C;
    database = BuildPdb(pdb, records);
    return result;
}

std::string ZtxtText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            out += text[i];
        else if (i + 1 == text.size() || text[i + 1] != '\n')
            out += '\n';
    }
    return out;
}

std::size_t ZtxtPosition(std::string_view text, std::size_t position)
{
    std::size_t dropped = 0;
    const std::string_view before = text.substr(0, position);
    for (std::size_t cr = before.find('\r'); cr != std::string_view::npos; cr = before.find('\r', cr + 1))
        dropped += cr + 1 < text.size() && text[cr + 1] == '\n';
    return position - dropped;
}

Result WriteZtxt(const WriteRequest& request, ZtxtMode mode)
{
    return WriteDatabase(request, [mode](const BookContent& content, std::string& database) {
        return BuildZtxt(content, mode, database);
    });
}

}  // namespace palm
