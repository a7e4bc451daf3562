// Building databases in memory and reading them back: container layout,
// record 0 of both formats, text records and bookmarks.
#include <gtest/gtest.h>
#include <zlib.h>

#include <palm/EbookReader.h>
#include <palm/EbookWriters.h>
#include <palm/PalmDocDecompressor.h>
#include <palm/PdbContainer.h>

#include "PalmTestSupport.h"

namespace {

unsigned u16(std::string_view s, std::size_t at) {
  return static_cast<unsigned char>(s[at]) << 8 | static_cast<unsigned char>(s[at + 1]);
}
unsigned long u32(std::string_view s, std::size_t at) { return static_cast<unsigned long>(u16(s, at)) << 16 | u16(s, at + 2); }

palm::PdbDatabase split(const std::string& file) {
  palm::PdbDatabase database;
  std::string error;
  EXPECT_TRUE(palm::parsePdb(file, database, error)) << error;
  return database;
}

TEST(PdbContainer, LaysOutHeaderRecordListAndGap) {
  palm::PdbHeader header;
  header.name = std::string(40, 'N');
  std::copy_n("TEXt", 4, header.type);
  std::copy_n("REAd", 4, header.creator);
  header.recordAttributes = 0x40;
  header.uniqueIdBase = 0x6F8000;
  header.created = header.modified = palm::palmTimeNow();
  const std::string file = palm::buildPdb(header, {"abc", "", "defg"});

  EXPECT_EQ(file.substr(0, 32), std::string(31, 'N') + '\0');
  EXPECT_EQ(file.substr(60, 8), "TEXtREAd");
  EXPECT_GT(u32(file, 36), 2082844800ul) << "dates count from 1904";
  EXPECT_EQ(u16(file, 76), 3u);
  EXPECT_EQ(u32(file, 78), 78ul + 3 * 8 + 2);
  EXPECT_EQ(u32(file, 82), 0x406F8000ul);
  EXPECT_EQ(u32(file, 86), u32(file, 78) + 3);
  EXPECT_EQ(u32(file, 94), u32(file, 86)) << "an empty record";
  EXPECT_EQ(u32(file, 98), 0x406F8002ul);
  EXPECT_EQ(file.substr(102, 2), std::string(2, '\0'));
  EXPECT_EQ(file.size(), 104u + 7);

  const palm::PdbDatabase database = split(file);
  EXPECT_EQ(database.name, std::string(31, 'N'));
  ASSERT_EQ(database.records.size(), 3u);
  EXPECT_EQ(database.records[0], "abc");
  EXPECT_EQ(database.records[1], "");
  EXPECT_EQ(database.records[2], "defg");
}

TEST(PdbContainer, RejectsImpossibleRecordLists) {
  palm::PdbHeader header;
  std::string file = palm::buildPdb(header, {"abc", "def"});
  palm::PdbDatabase database;
  std::string error;
  EXPECT_FALSE(palm::parsePdb(std::string_view(file).substr(0, 77), database, error));
  EXPECT_FALSE(palm::parsePdb(std::string_view(file).substr(0, 90), database, error)) << "list cut short";
  std::string swapped = file;
  swapped[81] = static_cast<char>(swapped[81] + 4);  // record 0 now starts after record 1
  EXPECT_FALSE(palm::parsePdb(swapped, database, error));
  std::string beyond = file;
  beyond[79] = 0x7F;
  EXPECT_FALSE(palm::parsePdb(beyond, database, error)) << error;
}

TEST(PalmDocDatabase, Record0AndTextRecordsAreExact) {
  const std::string text = palmtest::mixedBytes(3 * 4096, 7);  // a whole number of records
  palm::BookContent content{"Book", text, {}, 4096};
  std::string file;
  ASSERT_TRUE(palm::buildPalmDoc(content, true, file).ok());
  const palm::PdbDatabase database = split(file);
  ASSERT_EQ(database.records.size(), 4u) << "no empty trailing record";
  EXPECT_EQ(database.type + database.creator, "TEXtREAd");
  const std::string_view rec0 = database.records[0];
  ASSERT_EQ(rec0.size(), 16u);
  EXPECT_EQ(u16(rec0, 0), 2u);
  EXPECT_EQ(u16(rec0, 2), 0u);
  EXPECT_EQ(u32(rec0, 4), text.size());
  EXPECT_EQ(u16(rec0, 8), 3u);
  EXPECT_EQ(u16(rec0, 10), 4096u);
  EXPECT_EQ(u32(rec0, 12), 0ul);
  for (std::size_t i = 1; i < 4; ++i) {
    std::string decoded;
    ASSERT_TRUE(palm::decompressPalmDocRecord(database.records[i], decoded, 4096));
    EXPECT_EQ(decoded, text.substr((i - 1) * 4096, 4096)) << "each record decodes on its own";
  }
}

TEST(PalmDocDatabase, RoundTripsTextAndBookmarksAtEveryRecordSize) {
  const std::string text = palmtest::mixedBytes(20000, 11);
  std::vector<palm::StoredBookmark> bookmarks = {
      {"Second", 9000}, {"A name longer than fifteen", 10}, {"Beyond", 20001}, {"End", 20000}, {"First", 0}};
  for (std::uint32_t recordSize : {1024u, 4096u, 31744u}) {
    for (bool compress : {true, false}) {
      std::string file;
      const palm::Result built = palm::buildPalmDoc({"T", text, bookmarks, recordSize}, compress, file);
      ASSERT_TRUE(built.ok());
      EXPECT_EQ(built.skippedBookmarks, 1u) << "the bookmark beyond the text";
      palm::EbookInfo info;
      ASSERT_TRUE(palm::readEbook(file, info).ok());
      EXPECT_EQ(info.text, text);
      EXPECT_EQ(info.compression, compress ? 2 : 1);
      EXPECT_EQ(info.recordSize, recordSize);
      EXPECT_EQ(info.textRecordCount, (text.size() + recordSize - 1) / recordSize);
      EXPECT_EQ(info.totalRecordCount, 1 + info.textRecordCount + 4);
      const std::vector<palm::StoredBookmark> expected = {
          {"First", 0}, {"A name longer t", 10}, {"Second", 9000}, {"End", 20000}};
      EXPECT_EQ(info.bookmarks, expected);
    }
  }
}

TEST(PalmDocDatabase, RefusesBadRecordSizesAndOverlongText) {
  std::string file;
  EXPECT_EQ(palm::buildPalmDoc({"T", "abc", {}, 1023}, true, file).status, palm::Status::BlockSizeOutOfRange);
  EXPECT_EQ(palm::buildPalmDoc({"T", "abc", {}, 31745}, true, file).status, palm::Status::BlockSizeOutOfRange);
  const std::string huge(65535u * 1024u, 'x');  // one record more than the list can hold
  EXPECT_EQ(palm::buildPalmDoc({"T", huge, {}, 1024}, false, file).status, palm::Status::TextTooLong);
}

TEST(PalmDocDatabase, EmptyTextHasNoTextRecords) {
  std::string file;
  ASSERT_TRUE(palm::buildPalmDoc({"T", "", {{"Start", 0}}, 4096}, true, file).ok());
  palm::EbookInfo info;
  ASSERT_TRUE(palm::readEbook(file, info).ok());
  EXPECT_EQ(info.textRecordCount, 0u);
  EXPECT_EQ(info.text, "");
  EXPECT_EQ(info.bookmarks.size(), 1u);
}

std::string inflateRaw(std::string_view data) {
  z_stream z{};
  EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
  std::string out(70000, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int status = inflate(&z, Z_SYNC_FLUSH);
  EXPECT_TRUE(status == Z_OK || status == Z_BUF_ERROR) << status;
  out.resize(z.total_out);
  inflateEnd(&z);
  return out;
}

TEST(ZtxtDatabase, RandomAccessRecordsDecodeOnTheirOwn) {
  const std::string text = palmtest::mixedBytes(30000, 5);
  std::string expected = text;
  std::erase(expected, '\r');
  std::string file;
  ASSERT_TRUE(palm::buildZtxt({"Z", text, {{"b", 50}, {"a", 7}}, 8192}, palm::ZtxtMode::RandomAccess, file).ok());
  const palm::PdbDatabase database = split(file);
  EXPECT_EQ(database.type + database.creator, "zTXTGPlm");
  const std::string_view rec0 = database.records[0];
  const std::size_t records = (expected.size() + 8191) / 8192;
  ASSERT_EQ(rec0.size(), 32u);
  EXPECT_EQ(u16(rec0, 0), 0x012Cu);
  EXPECT_EQ(u16(rec0, 2), records);
  EXPECT_EQ(u32(rec0, 4), expected.size());
  EXPECT_EQ(u16(rec0, 8), 8192u);
  EXPECT_EQ(u16(rec0, 10), 2u);
  EXPECT_EQ(u16(rec0, 12), records + 1);
  EXPECT_EQ(static_cast<unsigned char>(rec0[18]), 0x01u);
  EXPECT_EQ(rec0.substr(24), std::string(8, '\0'));

  uLong crc = crc32(0, nullptr, 0);
  EXPECT_EQ(database.records[1].substr(0, 2), "\x78\xDA");
  for (std::size_t i = 1; i <= records; ++i) {
    const std::string_view record = database.records[i];
    crc = crc32(crc, reinterpret_cast<const Bytef*>(record.data()), static_cast<uInt>(record.size()));
    EXPECT_EQ(record.substr(record.size() - 4), std::string("\0\0\xFF\xFF", 4));
    // A reader may start at any record with a fresh raw inflater.
    EXPECT_EQ(inflateRaw(record.substr(i == 1 ? 2 : 0)), expected.substr((i - 1) * 8192, 8192));
  }
  EXPECT_EQ(u32(rec0, 20), crc);
  const std::string_view marks = database.records[records + 1];
  ASSERT_EQ(marks.size(), 48u);
  EXPECT_EQ(u32(marks, 0), 7ul);
  EXPECT_EQ(marks.substr(4, 20), std::string("a") + std::string(19, '\0'));
}

TEST(ZtxtDatabase, BothModesRoundTripWithoutCarriageReturns) {
  const std::string text = palmtest::mixedBytes(50000, 9);
  std::string expected = text;
  std::erase(expected, '\r');
  for (palm::ZtxtMode mode : {palm::ZtxtMode::RandomAccess, palm::ZtxtMode::EntireDocument}) {
    std::string file;
    const palm::Result built = palm::buildZtxt(
        {"Z", text, {{std::string(25, 'L'), 100}, {"late", 60000}}, 4096}, mode, file);
    ASSERT_TRUE(built.ok());
    EXPECT_EQ(built.skippedBookmarks, 1u);
    palm::EbookInfo info;
    ASSERT_TRUE(palm::readEbook(file, info).ok()) << palm::message(palm::readEbook(file, info));
    EXPECT_EQ(info.format, palm::EbookFormat::Ztxt);
    EXPECT_EQ(info.text, expected);
    EXPECT_EQ(info.compression, mode == palm::ZtxtMode::RandomAccess ? 1 : 2);
    const std::vector<palm::StoredBookmark> marks = {{std::string(20, 'L'), 100}};
    EXPECT_EQ(info.bookmarks, marks);
  }
  std::string file;
  EXPECT_EQ(palm::buildZtxt({"Z", text, {}, 4096}, static_cast<palm::ZtxtMode>(0), file).status,
            palm::Status::InvalidArgument);
}

TEST(ZtxtDatabase, NoBookmarksMeansNoBookmarkRecord) {
  std::string file;
  ASSERT_TRUE(palm::buildZtxt({"Z", "short text", {}, 8192}, palm::ZtxtMode::RandomAccess, file).ok());
  const palm::PdbDatabase database = split(file);
  EXPECT_EQ(database.records.size(), 2u);
  EXPECT_EQ(u16(database.records[0], 10), 0u);
  EXPECT_EQ(u16(database.records[0], 12), 0u);
}

}  // namespace
