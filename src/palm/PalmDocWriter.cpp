#include <palm/EbookWriters.h>

#include "BookmarkRecords.h"
#include "ByteOrder.h"
#include "PalmDocCompressor.h"
#include "PdbContainer.h"
#include "WriterSteps.h"

namespace palm {

namespace {

// Records compress independently of each other, so a large text is shared out
// among the processor's cores.
void CompressRecords(std::string_view text, std::size_t recordSize, std::string* records)
{
    const std::size_t count = (text.size() + recordSize - 1) / recordSize;
    ShareOutRecords(count, [&](std::size_t first, std::size_t stride) {
        PalmDocCompressor compressor;
        for (std::size_t i = first; i < count; i += stride)
            compressor.CompressRecord(text.substr(i * recordSize, recordSize), records[i]);
    });
}

}  // namespace

Result BuildPalmDoc(const BookContent& content, bool compress, std::string& database)
{
    if (Result checked = CheckContent(content); !checked.Ok())
        return checked;
    const std::string_view text = content.text;
    const std::size_t textRecords = (text.size() + content.recordSize - 1) / content.recordSize;
    if (text.size() > UINT32_MAX || 1 + textRecords > kPdbMaxRecords)
        return {Status::TextTooLong, std::to_string(text.size()) + " bytes"};

    std::vector<StoredBookmark> bookmarks = content.bookmarks;
    Result result;
    ArrangeBookmarks(bookmarks, text.size(), kPdbMaxRecords - 1 - textRecords, result);

    std::vector<std::string> records;
    records.reserve(1 + textRecords + bookmarks.size());
    std::string header;
    PutU16(header, compress ? 2 : 1);
    PutU16(header, 0);
    PutU32(header, static_cast<std::uint32_t>(text.size()));
    PutU16(header, static_cast<std::uint32_t>(textRecords));
    PutU16(header, content.recordSize);
    PutU32(header, 0);  // reading position
    records.push_back(std::move(header));

    const std::size_t firstText = records.size();
    records.resize(firstText + textRecords);
    if (compress)
        CompressRecords(text, content.recordSize, &records[firstText]);
    else
        for (std::size_t i = 0; i < textRecords; ++i)
            records[firstText + i] = text.substr(i * content.recordSize, content.recordSize);
    for (const StoredBookmark& bookmark : bookmarks)
        records.push_back(PalmDocBookmarkRecord(bookmark));

    database = BuildPdb(EbookHeader(content.title, "TEXt", "REAd", 0x6F8000), records);
    return result;
}

Result WritePalmDoc(const WriteRequest& request, bool compress)
{
    return WriteDatabase(request, [compress](const BookContent& content, std::string& database) {
        return BuildPalmDoc(content, compress, database);
    });
}

}  // namespace palm
