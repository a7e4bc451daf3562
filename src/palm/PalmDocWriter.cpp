#include <algorithm>

#include <palm/EbookWriters.h>
#include <palm/PalmDocCompressor.h>
#include <palm/PdbContainer.h>

#include "ByteOrder.h"
#include "WriterSteps.h"

namespace palm {

namespace {

constexpr std::size_t kMaxRecords = 65535;  // the record count is 16 bits
constexpr std::size_t kBookmarkNameField = 16;

std::string bookmarkRecord(const StoredBookmark& bookmark) {
  std::string record = bookmark.name.substr(0, kBookmarkNameField - 1);
  record.resize(kBookmarkNameField, '\0');
  putU32(record, bookmark.offset);
  return record;
}

}  // namespace

Result buildPalmDoc(const BookContent& content, bool compress, std::string& database) {
  if (Result size = checkRecordSize(content.recordSize); !size.ok()) return size;
  const std::string_view text = content.text;
  const std::size_t textRecords = (text.size() + content.recordSize - 1) / content.recordSize;
  if (text.size() > UINT32_MAX || 1 + textRecords > kMaxRecords)
    return {Status::TextTooLong, std::to_string(text.size()) + " bytes"};

  std::vector<StoredBookmark> bookmarks = content.bookmarks;
  Result result;
  result.skippedBookmarks = arrangeBookmarks(bookmarks, text.size(), kMaxRecords - 1 - textRecords);

  std::vector<std::string> records;
  records.reserve(1 + textRecords + bookmarks.size());
  std::string header;
  putU16(header, compress ? 2 : 1);
  putU16(header, 0);
  putU32(header, static_cast<std::uint32_t>(text.size()));
  putU16(header, static_cast<std::uint32_t>(textRecords));
  putU16(header, content.recordSize);
  putU32(header, 0);  // reading position
  records.push_back(std::move(header));

  PalmDocCompressor compressor;
  for (std::size_t start = 0; start < text.size(); start += content.recordSize) {
    const std::string_view block = text.substr(start, content.recordSize);
    std::string record;
    if (compress)
      compressor.compressRecord(block, record);
    else
      record = block;
    records.push_back(std::move(record));
  }
  for (const StoredBookmark& bookmark : bookmarks) records.push_back(bookmarkRecord(bookmark));

  PdbHeader pdb;
  pdb.name = content.title;
  pdb.created = pdb.modified = palmTimeNow();
  std::copy_n("TEXt", 4, pdb.type);
  std::copy_n("REAd", 4, pdb.creator);
  pdb.recordAttributes = 0x40;
  pdb.uniqueIdBase = 0x6F8000;
  database = buildPdb(pdb, records);
  return result;
}

Result writePalmDoc(const WriteRequest& request, bool compress) {
  return writeDatabase(request, [compress](const BookContent& content, std::string& database) {
    return buildPalmDoc(content, compress, database);
  });
}

}  // namespace palm
