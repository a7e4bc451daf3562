// Replacing the bookmarks of databases our writers made, and of hand-built
// ones with records and blocks the writers never make: everything but the
// bookmarks and the modification date stays byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include <palm/BookmarkRewrite.h>
#include <palm/EbookReader.h>
#include <palm/EbookWriters.h>

#include "ByteOrder.h"
#include "PalmTestSupport.h"
#include "PdbContainer.h"

namespace {

using palm::GetU16;
using palm::GetU32;
using palm::Status;

constexpr std::uint32_t kModified = 0x12345678;

enum class Kind { PalmDocStored, PalmDocCompressed, ZtxtRandomAccess, ZtxtEntireDocument };

bool IsZtxt(Kind kind)
{
    return kind == Kind::ZtxtRandomAccess || kind == Kind::ZtxtEntireDocument;
}

std::string Build(Kind kind, const std::string& text, const Marks& bookmarks, std::uint32_t recordSize)
{
    const palm::BookContent content{"Rewritten book", text, bookmarks, recordSize};
    std::string database;
    palm::Result result;
    switch (kind) {
    case Kind::PalmDocStored: result = palm::BuildPalmDoc(content, false, database); break;
    case Kind::PalmDocCompressed: result = palm::BuildPalmDoc(content, true, database); break;
    case Kind::ZtxtRandomAccess: result = palm::BuildZtxt(content, palm::ZtxtMode::RandomAccess, database); break;
    case Kind::ZtxtEntireDocument: result = palm::BuildZtxt(content, palm::ZtxtMode::EntireDocument, database); break;
    }
    EXPECT_TRUE(result.Ok()) << palm::Message(result);
    return database;
}

palm::PdbDatabase Split(std::string_view file)
{
    palm::PdbDatabase database;
    std::string error;
    EXPECT_TRUE(palm::ParsePdb(file, database, error)) << error;
    return database;
}

palm::EbookInfo Read(std::string_view file)
{
    palm::EbookInfo info;
    const palm::Result result = palm::ReadEbook(file, info);
    EXPECT_TRUE(result.Ok()) << palm::Message(result);
    return info;
}

std::uint32_t Entry(std::string_view file, std::size_t record)
{
    return GetU32(file, palm::kPdbHeaderSize + palm::kPdbEntrySize * record + 4);
}

std::string Rewrite(std::string_view file, const Marks& bookmarks)
{
    std::string rewritten;
    const palm::Result result = palm::RewriteBookmarks(file, bookmarks, kModified, rewritten);
    EXPECT_TRUE(result.Ok()) << palm::Message(result);
    EXPECT_EQ(result.storedBookmarks, bookmarks.size());
    return rewritten;
}

// What a reader finds after the rewrite: names cut to the format's length,
// zTXT's sorted by offset (equal offsets in the order given).
Marks Expected(Marks bookmarks, bool ztxt)
{
    for (palm::StoredBookmark& b : bookmarks)
        b.name.resize(std::min(b.name.size(), ztxt ? palm::kZtxtBookmarkName : palm::kPalmDocBookmarkName));
    if (ztxt)
        std::stable_sort(bookmarks.begin(), bookmarks.end(),
                         [](const auto& a, const auto& b) { return a.offset < b.offset; });
    return bookmarks;
}

TEST(BookmarkRewrite, KeepsTextRecordsAndHeaderAndStoresTheBookmarksAsGiven)
{
    const Marks before = {{"Start", 0}, {"Middle", 30000}, {"End", 60000}};
    const Marks after = {{"Later", 50000},
                         {"A name longer than either format keeps", 10},
                         {"Equal one", 2000},
                         {"Equal two", 2000},
                         {"At the very end", 0}};
    for (const Kind kind :
         {Kind::PalmDocStored, Kind::PalmDocCompressed, Kind::ZtxtRandomAccess, Kind::ZtxtEntireDocument}) {
        for (const std::uint32_t recordSize : {palm::kMinRecordSize, 4096u, palm::kMaxRecordSize}) {
            for (const Marks& old : {Marks{}, before}) {
                for (Marks wanted : {Marks{}, after, before}) {
                    SCOPED_TRACE(::testing::Message() << "kind " << static_cast<int>(kind) << ", record size "
                                                      << recordSize << ", " << old.size() << " -> " << wanted.size());
                    const std::string original = Build(kind, palmtest::MixedBytes(61000, recordSize), old, recordSize);
                    const palm::EbookInfo was = Read(original);
                    if (!wanted.empty())
                        wanted.back().offset = static_cast<std::uint32_t>(was.text.size());  // the end is a place too
                    const std::string rewritten = Rewrite(original, wanted);

                    const palm::EbookInfo now = Read(rewritten);
                    EXPECT_EQ(now.text, was.text);
                    EXPECT_EQ(now.bookmarks, Expected(wanted, IsZtxt(kind)));
                    EXPECT_EQ(rewritten.substr(0, 40), original.substr(0, 40));
                    EXPECT_EQ(GetU32(rewritten, 40), kModified);
                    EXPECT_EQ(rewritten.substr(44, 32), original.substr(44, 32));

                    const palm::PdbDatabase a = Split(original), b = Split(rewritten);
                    const std::size_t textEnd = 1 + was.textRecordCount;
                    ASSERT_GE(b.records.size(), textEnd);
                    std::set<std::uint32_t> oldIds;
                    for (std::size_t i = 0; i < a.records.size(); ++i)
                        oldIds.insert(Entry(original, i) & 0xFFFFFF);
                    for (std::size_t i = 1; i < textEnd; ++i) {
                        EXPECT_EQ(a.records[i], b.records[i]) << "text record " << i;
                        EXPECT_EQ(Entry(original, i), Entry(rewritten, i)) << "text record " << i;
                    }
                    if (IsZtxt(kind)) {
                        // Only the bookmark count and record change in record 0.
                        EXPECT_EQ(a.records[0].substr(0, 10), b.records[0].substr(0, 10));
                        EXPECT_EQ(a.records[0].substr(14), b.records[0].substr(14));
                        EXPECT_EQ(b.records.size(), textEnd + !wanted.empty());
                    } else {
                        EXPECT_EQ(a.records[0], b.records[0]);
                        EXPECT_EQ(b.records.size(), textEnd + wanted.size());
                    }
                    // Bookmark records that stay keep their entries; new ones get ids of their own.
                    std::set<std::uint32_t> ids;
                    for (std::size_t i = textEnd; i < b.records.size(); ++i) {
                        const std::uint32_t entry = Entry(rewritten, i);
                        if (i < a.records.size())
                            EXPECT_EQ(entry, Entry(original, i)) << "record " << i;
                        else
                            EXPECT_GT(entry & 0xFFFFFF, *oldIds.rbegin()) << "record " << i;
                        EXPECT_TRUE(ids.insert(entry & 0xFFFFFF).second) << "record " << i;
                    }
                }
            }
        }
    }
}

void SetU32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    std::string field;
    palm::PutU32(field, value);
    bytes.replace(at, 4, field);
}

// A database of `records` and, when given, an app-info block after the gap.
std::string Assembled(bool ztxt, const std::vector<std::string>& records, const std::string& appInfo = {})
{
    std::string out = palm::BuildPdb(palm::EbookHeader("Assembled", ztxt ? "zTXT" : "TEXt", "REAd", 0x500000), records);
    if (appInfo.empty())
        return out;
    const std::size_t listEnd = palm::kPdbHeaderSize + palm::kPdbEntrySize * records.size();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::size_t at = palm::kPdbHeaderSize + palm::kPdbEntrySize * i;
        SetU32(out, at, static_cast<std::uint32_t>(GetU32(out, at) + appInfo.size()));
    }
    SetU32(out, 52, static_cast<std::uint32_t>(listEnd + 2));
    out.insert(listEnd + 2, appInfo);
    return out;
}

std::vector<std::string> Records(std::string_view file)
{
    const palm::PdbDatabase database = Split(file);
    return {database.records.begin(), database.records.end()};
}

TEST(BookmarkRewrite, RecordsOfOtherKindsAndTheAppInfoBlockStayAndArePointedAt)
{
    const std::string text = palmtest::MixedBytes(9000, 7);
    const std::string appInfo = "app-info block bytes";
    const std::string extra = "7 bytes";
    for (const Marks& old : {Marks{}, Marks{{"One", 1}, {"Two", 2}, {"Three", 3}}}) {
        for (const Marks& wanted : {Marks{}, Marks{{"Only", 5}}, Marks{{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}}}) {
            SCOPED_TRACE(::testing::Message() << old.size() << " -> " << wanted.size());
            std::vector<std::string> records = Records(Build(Kind::PalmDocCompressed, text, old, 4096));
            records.push_back(extra);
            const std::string original = Assembled(false, records, appInfo);
            ASSERT_EQ(Read(original).bookmarks, old);
            const std::string rewritten = Rewrite(original, wanted);
            EXPECT_EQ(Read(rewritten).bookmarks, wanted);
            EXPECT_EQ(Split(rewritten).records.back(), extra);
            EXPECT_EQ(rewritten.substr(GetU32(rewritten, 52), appInfo.size()), appInfo);
        }
    }

    // zTXT: an annotation index record and one annotation after the bookmark record.
    const std::string annotationIndex = std::string("\0\0\0\x05", 4) + std::string(20, 'N');
    const std::string annotation = std::string("A note", 7);
    for (const Marks& old : {Marks{}, Marks{{"One", 1}, {"Two", 2}}}) {
        for (const Marks& wanted : {Marks{}, Marks{{"Only", 5}}}) {
            SCOPED_TRACE(::testing::Message() << "zTXT " << old.size() << " -> " << wanted.size());
            std::vector<std::string> records = Records(Build(Kind::ZtxtRandomAccess, text, old, 8192));
            std::string& record0 = records[0];
            record0.replace(14, 4, std::string{0, 1, 0, static_cast<char>(records.size())});
            records.push_back(annotationIndex);
            records.push_back(annotation);
            const std::string original = Assembled(true, records, appInfo);
            ASSERT_EQ(Read(original).bookmarks, old);
            const std::string rewritten = Rewrite(original, wanted);
            EXPECT_EQ(Read(rewritten).bookmarks, wanted);
            const palm::PdbDatabase split = Split(rewritten);
            const std::size_t index = GetU16(split.records[0], 16);
            ASSERT_LT(index + 1, split.records.size());
            EXPECT_EQ(split.records[index], annotationIndex);
            EXPECT_EQ(split.records[index + 1], annotation);
            EXPECT_EQ(GetU16(split.records[0], 14), 1u);
            EXPECT_EQ(rewritten.substr(GetU32(rewritten, 52), appInfo.size()), appInfo);
        }
    }
}

TEST(BookmarkRewrite, RefusesWhatCannotBeWrittenAndLeavesTheOutputAlone)
{
    const std::string text = palmtest::MixedBytes(3000, 11);
    const std::string palmDoc = Build(Kind::PalmDocStored, text, {{"Old", 4}}, 4096);
    const std::string ztxt = Build(Kind::ZtxtRandomAccess, text, {}, 8192);
    const std::uint32_t ztxtLength = Read(ztxt).textLength;
    std::string foreign = palmDoc;
    foreign.replace(60, 4, "DATA");
    const auto many = [](std::size_t n) { return Marks(n, palm::StoredBookmark{"m", 1}); };
    struct Case {
        const char* what;
        std::string file;
        Marks bookmarks;
        Status status;
    };
    const Case cases[] = {
        {"damaged", palmDoc.substr(0, palmDoc.size() - 100), {}, Status::DamagedDatabase},
        {"foreign", foreign, {}, Status::NotAnEbook},
        {"past the text", palmDoc, {{"ok", 3000}, {"past", 3001}}, Status::BookmarkPastText},
        {"past the zTXT text", ztxt, {{"past", ztxtLength + 1}}, Status::BookmarkPastText},
        {"NUL in a name", ztxt, {{std::string("a\0b", 3), 1}}, Status::InvalidArgument},
        // Record 0 and one text record leave room for 65533 bookmark records.
        {"PalmDoc full", palmDoc, many(65533), Status::Ok},
        {"PalmDoc over", palmDoc, many(65534), Status::TooManyBookmarks},
        {"zTXT full", ztxt, many(2729), Status::Ok},
        {"zTXT over", ztxt, many(2730), Status::TooManyBookmarks},
    };
    for (const Case& c : cases) {
        std::string rewritten = "untouched";
        const palm::Result result = palm::RewriteBookmarks(c.file, c.bookmarks, kModified, rewritten);
        EXPECT_EQ(result.status, c.status) << c.what << ": " << palm::Message(result);
        if (c.status != Status::Ok)
            EXPECT_EQ(rewritten, "untouched") << c.what;
        else
            EXPECT_EQ(Read(rewritten).bookmarks.size(), c.bookmarks.size()) << c.what;
    }
}

TEST(BookmarkRewrite, AnyFileTheReaderTakesIsRewrittenIntoOneItTakes)
{
    const std::string text = palmtest::MixedBytes(5000, 5);
    const std::string samples[] = {Build(Kind::PalmDocCompressed, text, {{"Old", 3}}, 1024),
                                   Build(Kind::ZtxtRandomAccess, text, {{"Old", 3}}, 1024)};
    const Marks wanted = {{"New", 1}, {"Newer", 2}};
    std::mt19937 random(7);
    std::size_t rewritten = 0;
    for (int round = 0; round < 3000; ++round) {
        // Mostly the header, the record list and record 0.
        std::string file = samples[round % 2];
        for (int flips = 1 + random() % 3; flips-- > 0;)
            file[random() % 160] = static_cast<char>(random());
        palm::EbookInfo before;
        if (!palm::ReadEbook(file, before).Ok())
            continue;
        std::string out;
        if (!palm::RewriteBookmarks(file, wanted, kModified, out).Ok())
            continue;
        ++rewritten;
        palm::EbookInfo after;
        ASSERT_TRUE(palm::ReadEbook(out, after).Ok()) << "round " << round;
        EXPECT_EQ(after.text, before.text) << "round " << round;
        EXPECT_EQ(after.bookmarks, wanted) << "round " << round;
    }
    EXPECT_GT(rewritten, 500u);
}

}  // namespace
