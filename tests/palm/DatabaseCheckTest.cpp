// What the checker finds in damaged and unusual databases, and that it finds
// nothing wrong in those our own writers make.
#include <gtest/gtest.h>

#include <zlib.h>

#include <functional>
#include <random>

#include <palm/DatabaseCheck.h>
#include <palm/EbookWriters.h>

#include "ByteOrder.h"
#include "PalmTestSupport.h"
#include "PdbContainer.h"
#include "TestEnvironment.h"

namespace {

using palm::Severity;
using palmtest::RecordOffset;
using palmtest::SetField;

std::string Listed(const std::vector<palm::Finding>& findings)
{
    std::string list;
    for (const palm::Finding& f : findings)
        list += std::string(f.severity == Severity::Refuses ? "refuses" : "shows wrongly") + " | " + f.readers + " | " +
                f.reason + "\n";
    return list.empty() ? "no findings\n" : list;
}

std::string PalmDoc(std::string_view text, std::vector<palm::StoredBookmark> marks = {}, std::uint32_t size = 4096)
{
    std::string file;
    EXPECT_TRUE(palm::BuildPalmDoc({"P", text, std::move(marks), size}, true, file).Ok());
    return file;
}

std::string Ztxt(std::string_view text, palm::ZtxtMode mode = palm::ZtxtMode::RandomAccess)
{
    std::string file;
    EXPECT_TRUE(palm::BuildZtxt({"Z", text, {{"a", 1}, {"b", 2}}, 4096}, mode, file).Ok());
    return file;
}

// A compressed PalmDoc database of hand-made text records.
std::string PalmDocOf(const std::vector<std::string>& textRecords, std::uint32_t textLength)
{
    std::string record0;
    palm::PutU16(record0, 2);
    palm::PutU16(record0, 0);
    palm::PutU32(record0, textLength);
    palm::PutU16(record0, static_cast<std::uint32_t>(textRecords.size()));
    palm::PutU16(record0, 4096);
    palm::PutU32(record0, 0);
    std::vector<std::string> records = {record0};
    records.insert(records.end(), textRecords.begin(), textRecords.end());
    return palm::BuildPdb(palm::EbookHeader("Hand made", "TEXt", "REAd", 0), records);
}

// A random-access zTXT database whose records are cut from one zlib stream
// with Z_SYNC_FLUSH, so that later records refer back into earlier ones.
std::string ZtxtWithoutFullFlush(const std::string& text, std::size_t recordSize)
{
    z_stream stream{};
    deflateInit(&stream, 9);
    std::vector<std::string> records(1);
    for (std::size_t at = 0; at < text.size(); at += recordSize) {
        std::string input = text.substr(at, recordSize);
        std::string out(input.size() + 1024, '\0');
        stream.next_in = reinterpret_cast<Bytef*>(input.data());
        stream.avail_in = static_cast<uInt>(input.size());
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = static_cast<uInt>(out.size());
        deflate(&stream, Z_SYNC_FLUSH);
        out.resize(out.size() - stream.avail_out);
        records.push_back(out);
    }
    deflateEnd(&stream);
    std::string& record0 = records[0];
    palm::PutU16(record0, 0x012C);
    palm::PutU16(record0, static_cast<std::uint32_t>(records.size() - 1));
    palm::PutU32(record0, static_cast<std::uint32_t>(text.size()));
    palm::PutU16(record0, static_cast<std::uint32_t>(recordSize));
    record0 += std::string(8, '\0');
    record0 += '\x01';
    record0 += std::string(13, '\0');
    return palm::BuildPdb(palm::EbookHeader("Sync flushed", "zTXT", "GPlm", 0), records);
}

// Lines that would each pass as plain text, six of a kind.
std::string SixLines(const std::string& line)
{
    std::string text;
    for (int i = 0; i < 6; ++i)
        text += line + " " + std::to_string(i) + "\nSome plain words.\n";
    return text;
}

TEST(DatabaseCheck, WhatOurWritersMakeOfPlainTextHasNoFindings)
{
    const std::string text = palmtest::MixedBytes(20000, 4);
    for (const std::string& file : {PalmDoc(text), Ztxt(text)})
        EXPECT_TRUE(palm::CheckDatabase(file).empty()) << Listed(palm::CheckDatabase(file));
}

TEST(DatabaseCheck, EachFaultGivesItsFinding)
{
    const std::string text = palmtest::MixedBytes(20000, 4);
    const std::string palmDoc = PalmDoc(text);
    const std::string marked = PalmDoc(text, {{"a", 1}, {"b", 2}});
    const std::string ztxt = Ztxt(text);
    const std::size_t docRec0 = RecordOffset(palmDoc, 0);
    const std::size_t zRec0 = RecordOffset(ztxt, 0);
    const std::size_t lastMark = marked.size() - 20;
    const std::size_t zMarks = RecordOffset(ztxt, palm::GetU16(ztxt, zRec0 + 12));
    const std::uint32_t docRecords = palm::GetU16(palmDoc, 76);
    const std::uint32_t zRecords = palm::GetU16(ztxt, 76);
    const std::string docHoldsOnly = "holds only " + std::to_string(docRecords - 1) + " records";
    const std::string zHoldsOnly = "holds only " + std::to_string(zRecords - 1) + " records";
    using Damage = std::function<void(std::string&)>;
    const auto field = [](std::size_t at, std::size_t width, std::uint32_t value) -> Damage {
        return [=](std::string& f) { SetField(f, at, width, value); };
    };
    const auto entry = [](std::size_t record) { return 78 + 8 * record; };
    struct Case {
        const char* what;
        std::string file;
        Damage damage;
        Severity severity;
        std::string reason;
    };
    const Case cases[] = {
        {"too short", palmDoc.substr(0, 70), {}, Severity::Refuses, "shorter than a database header"},
        {"foreign type", palmDoc, [](std::string& f) { f.replace(60, 4, "DATA"); }, Severity::Refuses,
         "neither TEXt nor zTXT"},
        {"unterminated name", palmDoc, [](std::string& f) { f.replace(0, 32, 32, 'N'); }, Severity::Refuses,
         "name fills its 32 bytes"},
        {"other creator", palmDoc, [](std::string& f) { f.replace(64, 4, "TlDc"); }, Severity::Refuses,
         "creator 'TlDc'"},
        {"no records", palmDoc, field(76, 2, 0), Severity::Refuses, "holds no records"},
        {"record list past the end", palmDoc, field(76, 2, 0xFFFF), Severity::Refuses, "runs past the end"},
        {"offset past the end", palmDoc, field(entry(2), 4, 1 << 20), Severity::Refuses, "starts past the end"},
        {"offset at the end", palmDoc, field(entry(5), 4, static_cast<std::uint32_t>(palmDoc.size())),
         Severity::Refuses, "starts at the end"},
        {"offsets backwards", palmDoc, field(entry(2), 4, static_cast<std::uint32_t>(RecordOffset(palmDoc, 1) - 1)),
         Severity::Refuses, "run backwards"},
        {"empty record", palmDoc, field(entry(2), 4, static_cast<std::uint32_t>(RecordOffset(palmDoc, 3))),
         Severity::Refuses, "is empty (0 bytes)"},
        {"record in the header", palmDoc, field(entry(0), 4, 40), Severity::ShowsWrongly, "overlaps the header"},
        {"short record 0", palmDoc, field(entry(1), 4, static_cast<std::uint32_t>(docRec0 + 8)), Severity::Refuses,
         "shorter than the 16-byte PalmDoc header"},
        {"unknown compression", palmDoc, field(docRec0, 2, 7), Severity::Refuses, "unknown compression 7"},
        {"no text record", palmDoc, field(docRec0 + 8, 2, 0), Severity::Refuses, "counts no text record"},
        {"count not below the records", palmDoc, field(docRec0 + 8, 2, docRecords), Severity::Refuses, docHoldsOnly},
        {"PalmDoc record size 0", palmDoc, field(docRec0 + 10, 2, 0), Severity::Refuses, "record size of 0"},
        {"records over 4096", PalmDoc(text, {}, 8192), {}, Severity::ShowsWrongly, "more than the 4096 bytes"},
        {"records over the record size", palmDoc, field(docRec0 + 10, 2, 4000), Severity::ShowsWrongly,
         "more than the record size of 4000"},
        {"copy before the start",
         PalmDocOf({"\x41\x80\x10"}, 4),
         {},
         Severity::ShowsWrongly,
         "copies from before its own start"},
        {"copy of distance 0",
         PalmDocOf({std::string("\x41\x80\x00", 3)}, 4),
         {},
         Severity::ShowsWrongly,
         "copy of distance 0"},
        {"code cut short", PalmDocOf({"\x05\x41\x42"}, 2), {}, Severity::ShowsWrongly, "ends inside a counted run"},
        {"length said longer", palmDoc, field(docRec0 + 4, 4, 20001), Severity::ShowsWrongly, "the records give 20000"},
        {"length said shorter", palmDoc, field(docRec0 + 4, 4, 19000), Severity::ShowsWrongly, "cut at byte 19000"},
        {"bookmark past the text", marked, field(lastMark + 16, 4, 20001), Severity::ShowsWrongly,
         "points past the text"},
        {"bookmark name unterminated", marked, [&](std::string& f) { f.replace(lastMark, 16, 16, 'b'); },
         Severity::ShowsWrongly, "its name fills 16 bytes"},
        {"stored bookmarks", marked, {}, Severity::ShowsWrongly, "FBReader reads the text as HTML"},
        {"HTML tags",
         PalmDoc("<html><head><title>T</title></head><body><p>A tale.</p></body></html>\n"),
         {},
         Severity::ShowsWrongly,
         "holds HTML tags"},
        {"starts with <html>", Ztxt("  <HTML>\nNot quite a page.\n"), {}, Severity::ShowsWrongly, "starts with <html>"},
        {"Markdown", PalmDoc(SixLines("# Heading")), {}, Severity::ShowsWrongly, "Markdown marks"},
        {"Textile", Ztxt(SixLines("h2. Heading")), {}, Severity::ShowsWrongly, "Textile marks"},
        {"zTXT version 1.20", ztxt, field(zRec0, 2, 0x0114), Severity::Refuses, "below 1.40"},
        {"entire document",
         Ztxt(text, palm::ZtxtMode::EntireDocument),
         {},
         Severity::Refuses,
         "entire-document compression"},
        {"non-uniform", ztxt, field(zRec0 + 18, 1, 3), Severity::ShowsWrongly, "non-uniform records flag"},
        {"zTXT without text record", ztxt, field(zRec0 + 2, 2, 0), Severity::Refuses, "counts no text record"},
        {"zTXT count not below the records", ztxt, field(zRec0 + 2, 2, zRecords), Severity::Refuses, zHoldsOnly},
        {"zTXT record size 0", ztxt, field(zRec0 + 8, 2, 0), Severity::Refuses, "record size of 0"},
        {"no zlib header", ztxt, field(RecordOffset(ztxt, 1), 2, 0), Severity::Refuses, "zlib header"},
        {"bad deflate data", ztxt, field(RecordOffset(ztxt, 2), 1, 0xFF), Severity::Refuses, "does not inflate ("},
        {"zTXT record over its size", ztxt, field(zRec0 + 8, 2, 1000), Severity::ShowsWrongly,
         "more than the record size of 1000"},
        {"no full flush", ZtxtWithoutFullFlush(text, 4096), {}, Severity::ShowsWrongly, "does not inflate on its own"},
        {"CRC-32", ztxt, field(zRec0 + 20, 4, 1), Severity::ShowsWrongly, "CRC-32"},
        {"zTXT length said longer", ztxt, field(zRec0 + 4, 4, 30000), Severity::ShowsWrongly, "declares 30000 bytes"},
        {"bookmark record missing", ztxt, field(zRec0 + 12, 2, 0), Severity::ShowsWrongly, "record is missing"},
        {"bookmark record a text record", ztxt, field(zRec0 + 12, 2, 1), Severity::ShowsWrongly, "a text record"},
        {"zTXT bookmark past the text", ztxt, field(zMarks + 24, 4, 1 << 30), Severity::ShowsWrongly,
         "points past the text"},
        {"bookmarks out of order", ztxt, field(zMarks, 4, 5), Severity::ShowsWrongly, "out of order"},
    };
    for (const Case& c : cases) {
        std::string file = c.file;
        if (c.damage)
            c.damage(file);
        const std::vector<palm::Finding> findings = palm::CheckDatabase(file);
        const bool found = std::any_of(findings.begin(), findings.end(), [&c](const palm::Finding& f) {
            return f.severity == c.severity && f.reason.find(c.reason) != std::string::npos;
        });
        EXPECT_TRUE(found) << c.what << ": no finding with \"" << c.reason << "\" in\n" << Listed(findings);
        if (c.severity == Severity::Refuses) {
            EXPECT_TRUE(palm::AnyRefusal(findings)) << c.what;
        }
    }
}

TEST(DatabaseCheck, FindingsComeInFileOrder)
{
    std::string file = PalmDoc(palmtest::MixedBytes(20000, 4), {{"a", 1}});
    SetField(file, file.size() - 4, 4, 30000);  // the bookmark, last in the file
    file.replace(64, 4, "TlDc");                // the creator, in the header
    const std::vector<palm::Finding> findings = palm::CheckDatabase(file);
    ASSERT_EQ(findings.size(), 3u) << Listed(findings);
    EXPECT_NE(findings[0].reason.find("creator"), std::string::npos);
    EXPECT_NE(findings[1].reason.find("records follow the text"), std::string::npos);
    EXPECT_NE(findings[2].reason.find("points past the text"), std::string::npos);
    EXPECT_TRUE(palm::AnyRefusal(findings));
    EXPECT_FALSE(palm::AnyRefusal({findings[1], findings[2]}));
}

// The sanitizer build checks that no byte outside the file is read.
TEST(DatabaseCheck, RandomMutationsNeverCrash)
{
    const std::string text = palmtest::MixedBytes(20000, 4);
    const std::string files[] = {PalmDoc(text, {{"a", 1}}), Ztxt(text)};
    std::mt19937 random(7);
    std::size_t refused = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string file = files[round % 2];
        for (int flips = 1 + random() % 4; flips-- > 0;)
            file[random() % (round % 4 < 2 ? 200 : file.size())] = static_cast<char>(random());
        refused += palm::AnyRefusal(palm::CheckDatabase(file));
    }
    EXPECT_GT(refused, 200u);
}

// Every database the converter writes opens everywhere. The one exception is
// entire-document zTXT, which calibre and Weasel Reader refuse (the converter
// warns when it writes one); and a PalmDoc book with stored bookmarks, which
// FBReader reads as HTML.
TEST(DatabaseCheck, DatabasesOurWritersMakeOfTheCorpusOpenEverywhere)
{
    std::vector<std::filesystem::path> books;
    for (const std::filesystem::path& book : CorpusBooks())
        if (book.extension() == ".txt" && books.size() < 3)
            books.push_back(book);
    ASSERT_FALSE(books.empty()) << "no books in " FOLIVO_TEST_CORPUS_DIR;
    for (const std::filesystem::path& book : books) {
        const std::string text = ReadBytes(book);
        std::vector<palm::StoredBookmark> marks;
        for (std::uint32_t at = 0; at < text.size(); at += 10000)
            marks.push_back({"Mark " + std::to_string(at), at});
        for (const std::uint32_t size : {1024u, 4096u, 8192u, 31744u}) {
            const palm::BookContent content{"Corpus", text, marks, size};
            const std::string where = book.filename().string() + " at " + std::to_string(size);
            for (const bool compress : {true, false}) {
                std::string file;
                ASSERT_TRUE(palm::BuildPalmDoc(content, compress, file).Ok()) << where;
                const std::vector<palm::Finding> findings = palm::CheckDatabase(file);
                EXPECT_FALSE(palm::AnyRefusal(findings)) << where << "\n" << Listed(findings);
                if (size == 4096 && compress) {
                    ASSERT_EQ(findings.size(), 1u) << where << "\n" << Listed(findings);
                    EXPECT_EQ(findings[0].readers, "FBReader");
                    ASSERT_TRUE(palm::BuildPalmDoc({"Corpus", text, {}, size}, compress, file).Ok());
                    EXPECT_TRUE(palm::CheckDatabase(file).empty()) << where << "\n"
                                                                   << Listed(palm::CheckDatabase(file));
                }
            }
            std::string file;
            ASSERT_TRUE(palm::BuildZtxt(content, palm::ZtxtMode::RandomAccess, file).Ok()) << where;
            EXPECT_TRUE(palm::CheckDatabase(file).empty()) << where << "\n" << Listed(palm::CheckDatabase(file));
            ASSERT_TRUE(palm::BuildZtxt(content, palm::ZtxtMode::EntireDocument, file).Ok()) << where;
            const std::vector<palm::Finding> findings = palm::CheckDatabase(file);
            ASSERT_EQ(findings.size(), 1u) << where << "\n" << Listed(findings);
            EXPECT_EQ(findings[0].severity, Severity::Refuses);
            EXPECT_NE(findings[0].reason.find("entire-document"), std::string::npos);
        }
    }
}

}  // namespace
