// Building databases in memory and reading them back: container layout,
// record 0 of both formats, text records and bookmarks.
#include <gtest/gtest.h>
#include <zlib.h>

#include <palm/EbookReader.h>
#include <palm/EbookWriters.h>

#include "PalmDocDecompressor.h"
#include "PalmTestSupport.h"
#include "PdbContainer.h"

namespace {

unsigned long U16(std::string_view s, std::size_t at)
{
    return static_cast<unsigned char>(s[at]) << 8 | static_cast<unsigned char>(s[at + 1]);
}
unsigned long U32(std::string_view s, std::size_t at)
{
    return U16(s, at) << 16 | U16(s, at + 2);
}

palm::PdbDatabase Split(const std::string& file)
{
    palm::PdbDatabase database;
    std::string error;
    EXPECT_TRUE(palm::ParsePdb(file, database, error)) << error;
    return database;
}

TEST(PdbContainer, LaysOutHeaderRecordListAndGap)
{
    palm::PdbHeader header;
    header.name = std::string(40, 'N');
    std::copy_n("TEXtREAd", 4, header.type);
    header.recordAttributes = 0x40;
    header.uniqueIdBase = 0x6F8000;
    header.created = palm::PalmTimeNow();
    const std::string file = palm::BuildPdb(header, {"abc", "", "defg"});
    EXPECT_EQ(file.substr(0, 32), std::string(31, 'N') + '\0');
    EXPECT_GT(U32(file, 36), 2082844800ul) << "dates count from 1904";
    EXPECT_EQ(U16(file, 76), 3ul);
    EXPECT_EQ(U32(file, 78), 78ul + 3 * 8 + 2) << "after the list and the 2-byte gap";
    EXPECT_EQ(U32(file, 82), 0x406F8000ul);
    EXPECT_EQ(U32(file, 86), 107ul);
    EXPECT_EQ(U32(file, 94), 107ul);
    EXPECT_EQ(U32(file, 98), 0x406F8002ul);
    const palm::PdbDatabase database = Split(file);
    EXPECT_EQ(database.records, (std::vector<std::string_view>{"abc", "", "defg"}));

    palm::PdbDatabase damaged;
    std::string error;
    EXPECT_FALSE(palm::ParsePdb(std::string_view(file).substr(0, 90), damaged, error)) << "list cut short";
    std::string swapped = file;
    swapped[81] = static_cast<char>(swapped[81] + 4);  // record 0 now starts after record 1
    EXPECT_FALSE(palm::ParsePdb(swapped, damaged, error));
    swapped[79] = 0x7F;  // beyond the end
    EXPECT_FALSE(palm::ParsePdb(swapped, damaged, error));
}

TEST(PalmDocDatabase, Record0AndTextRecordsAreExact)
{
    const std::string text = palmtest::MixedBytes(3 * 4096, 7);
    std::string file;
    ASSERT_TRUE(palm::BuildPalmDoc({"Book", text, {}, 4096}, true, file).Ok());
    const palm::PdbDatabase database = Split(file);
    ASSERT_EQ(database.records.size(), 4u) << "no empty record after a whole number of records";
    EXPECT_EQ(database.type + database.creator, "TEXtREAd");
    const std::string_view rec0 = database.records[0];
    EXPECT_EQ(rec0, std::string("\0\2\0\0\0\0\x30\0\0\3\x10\0\0\0\0\0", 16));
    for (std::size_t i = 1; i < 4; ++i) {
        std::string decoded;
        ASSERT_TRUE(palm::DecompressPalmDocRecord(database.records[i], decoded, 4096));
        EXPECT_EQ(decoded, text.substr((i - 1) * 4096, 4096)) << "each record decodes on its own";
    }
}

TEST(PalmDocDatabase, RoundTripsTextAndSortedBookmarks)
{
    const std::string text = palmtest::MixedBytes(20000, 11);
    const Marks marks = {
        {"Second", 9000}, {"A name longer than fifteen", 10}, {"Beyond", 20001}, {"End", 20000}, {"First", 0}};
    const Marks stored = {{"First", 0}, {"A name longer t", 10}, {"Second", 9000}, {"End", 20000}};
    for (std::uint32_t recordSize : {1024u, 4096u, 31744u}) {
        for (bool compress : {true, false}) {
            std::string file;
            const palm::Result built = palm::BuildPalmDoc({"T", text, marks, recordSize}, compress, file);
            EXPECT_EQ(built.bookmarksPastText, 1u) << "the one beyond the text";
            palm::EbookInfo info;
            ASSERT_TRUE(palm::ReadEbook(file, info).Ok());
            EXPECT_EQ(info.text, text);
            EXPECT_EQ(info.compression, compress ? 2 : 1);
            EXPECT_EQ(info.textRecordCount, (text.size() + recordSize - 1) / recordSize);
            EXPECT_EQ(info.totalRecordCount, 1 + info.textRecordCount + 4);
            EXPECT_EQ(info.bookmarks, stored);
        }
    }
}

TEST(PalmDocDatabase, RefusesEmptyTextBadRecordSizesAndOverlongText)
{
    std::string file;
    // Without text there would be no text record, which readers fail on.
    EXPECT_EQ(palm::BuildPalmDoc({"T", "", {{"Start", 0}}, 4096}, true, file).status, palm::Status::EmptyText);
    EXPECT_EQ(palm::BuildZtxt({"T", "", {}, 8192}, palm::ZtxtMode::RandomAccess, file).status, palm::Status::EmptyText);
    EXPECT_EQ(palm::BuildPalmDoc({"T", "abc", {}, 1023}, true, file).status, palm::Status::BlockSizeOutOfRange);
    EXPECT_EQ(palm::BuildZtxt({"T", "abc", {}, 31745}, palm::ZtxtMode::RandomAccess, file).status,
              palm::Status::BlockSizeOutOfRange);
    const std::string huge(65535u * 1024u, 'x');  // one record more than the list can hold
    EXPECT_EQ(palm::BuildPalmDoc({"T", huge, {}, 1024}, false, file).status, palm::Status::TextTooLong);
}

// A reader that jumps to a record inflates it with a fresh raw inflater.
std::string InflateAlone(std::string_view data)
{
    z_stream z{};
    inflateInit2(&z, -15);
    std::string out(70000, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    inflate(&z, Z_SYNC_FLUSH);
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

TEST(ZtxtDatabase, RandomAccessRecordsDecodeOnTheirOwn)
{
    std::string text = palmtest::MixedBytes(30000, 5);
    std::string file;
    ASSERT_TRUE(palm::BuildZtxt({"Z", text, {{"b", 50}, {"a", 7}}, 8192}, palm::ZtxtMode::RandomAccess, file).Ok());
    text = WithLfBreaks(text);
    const palm::PdbDatabase database = Split(file);
    EXPECT_EQ(database.type + database.creator, "zTXTGPlm");
    const std::string_view rec0 = database.records[0];
    const std::size_t records = (text.size() + 8191) / 8192;
    ASSERT_EQ(rec0.size(), 32u);
    EXPECT_EQ(U16(rec0, 0), 0x012Cul);
    EXPECT_EQ(U16(rec0, 2), records);
    EXPECT_EQ(U32(rec0, 4), text.size());
    EXPECT_EQ(U32(rec0, 8), 8192ul << 16 | 2) << "record size, bookmark count";
    EXPECT_EQ(U16(rec0, 12), records + 1);
    EXPECT_EQ(rec0.substr(14, 6), std::string("\0\0\0\0\1\0", 6));
    EXPECT_EQ(rec0.substr(24), std::string(8, '\0'));

    uLong crc = crc32(0, nullptr, 0);
    EXPECT_EQ(database.records[1].substr(0, 2), "\x78\xDA");
    for (std::size_t i = 1; i <= records; ++i) {
        const std::string_view record = database.records[i];
        crc = crc32(crc, reinterpret_cast<const Bytef*>(record.data()), static_cast<uInt>(record.size()));
        EXPECT_EQ(record.substr(record.size() - 4), std::string("\0\0\xFF\xFF", 4));
        EXPECT_EQ(InflateAlone(record.substr(i == 1 ? 2 : 0)), text.substr((i - 1) * 8192, 8192));
    }
    EXPECT_EQ(U32(rec0, 20), crc);
    EXPECT_EQ(database.records[records + 1], std::string("\0\0\0\7a", 5) + std::string(19, '\0') +
                                                 std::string("\0\0\0\x32"
                                                             "b",
                                                             5) +
                                                 std::string(19, '\0'));
}

// What one zlib stream with a full flush after each record makes of a text.
std::vector<std::string> OneStreamRecords(std::string_view text, std::size_t recordSize)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 15, 9, Z_DEFAULT_STRATEGY);
    std::vector<std::string> records;
    for (std::size_t start = 0; start < text.size(); start += recordSize) {
        const std::string_view input = text.substr(start, recordSize);
        std::string out(deflateBound(&z, static_cast<uLong>(input.size())) + 16, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
        z.avail_in = static_cast<uInt>(input.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, Z_FULL_FLUSH);
        out.resize(out.size() - z.avail_out);
        records.push_back(std::move(out));
    }
    deflateEnd(&z);
    return records;
}

TEST(ZtxtDatabase, RecordsDeflatedOnAllCoresAreThoseOfOneStream)
{
    // Enough records for every core to take a share; prose with repeats and
    // bytes of every value, so that records end inside matches too.
    std::string text = palmtest::MixedBytes(300 * 1024 + 77, 21);
    std::erase(text, '\r');
    std::string file;
    ASSERT_TRUE(palm::BuildZtxt({"Z", text, {}, 1024}, palm::ZtxtMode::RandomAccess, file).Ok());
    const palm::PdbDatabase database = Split(file);
    const std::vector<std::string> expected = OneStreamRecords(text, 1024);
    ASSERT_EQ(database.records.size(), expected.size() + 1);
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(database.records[i + 1], expected[i]) << "record " << i + 1;
}

TEST(ZtxtDatabase, BothModesRoundTripWithLfLineBreaks)
{
    std::string text = palmtest::MixedBytes(50000, 9);
    const Marks marks = {{std::string(25, 'L'), 100}, {"late", 60000}};
    for (palm::ZtxtMode mode : {palm::ZtxtMode::RandomAccess, palm::ZtxtMode::EntireDocument}) {
        std::string file;
        EXPECT_EQ(palm::BuildZtxt({"Z", text, marks, 4096}, mode, file).bookmarksPastText, 1u);
        palm::EbookInfo info;
        ASSERT_TRUE(palm::ReadEbook(file, info).Ok());
        EXPECT_EQ(info.text, WithLfBreaks(text));
        EXPECT_EQ(info.compression, mode == palm::ZtxtMode::RandomAccess ? 1 : 2);
        EXPECT_EQ(info.bookmarks, (Marks{{std::string(20, 'L'), 100}}));
    }
    std::string file;
    EXPECT_EQ(palm::BuildZtxt({"Z", text, {}, 4096}, static_cast<palm::ZtxtMode>(0), file).status,
              palm::Status::InvalidArgument);
    ASSERT_TRUE(palm::BuildZtxt({"Z", "short", {}, 4096}, palm::ZtxtMode::RandomAccess, file).Ok());
    EXPECT_EQ(Split(file).records.size(), 2u) << "no bookmark record without bookmarks";
}

TEST(ZtxtDatabase, EveryKindOfLineBreakStaysABreakAndPositionsFollow)
{
    struct Case {
        std::string text;
        std::string stored;
        std::vector<std::size_t> positions;  // of every byte of text, and its end
    };
    const Case cases[] = {
        {"a\r\nb", "a\nb", {0, 1, 1, 2, 3}},
        {"a\rb\rc", "a\nb\nc", {0, 1, 2, 3, 4, 5}},
        {"a\r\r\nb\n\r", "a\n\nb\n\n", {0, 1, 2, 2, 3, 4, 5, 6}},
        {"\r", "\n", {0, 1}},
    };
    for (const Case& c : cases) {
        std::string file;
        ASSERT_TRUE(palm::BuildZtxt({"Z", c.text, {}, 4096}, palm::ZtxtMode::RandomAccess, file).Ok());
        palm::EbookInfo info;
        ASSERT_TRUE(palm::ReadEbook(file, info).Ok());
        EXPECT_EQ(info.text, c.stored);
        for (std::size_t p = 0; p <= c.text.size(); ++p)
            EXPECT_EQ(palm::ZtxtPosition(c.text, p), c.positions[p]) << "byte " << p;
    }
}

}  // namespace
