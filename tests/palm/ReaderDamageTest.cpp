// Damaged and foreign files give an error result; the sanitizer build checks
// that no byte outside the file is read on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include <palm/EbookReader.h>
#include <palm/EbookWriters.h>

#include "PalmTestSupport.h"

namespace {

using palm::Status;
using palmtest::RecordOffset;
using palmtest::SetField;

std::vector<std::string> Samples()
{
    const std::string text = palmtest::MixedBytes(20000, 4);
    std::vector<std::string> files(3);
    palm::BuildPalmDoc({"P", text, {{"a", 1}}, 4096}, true, files[0]);
    palm::BuildZtxt({"Z", text, {{"a", 1}, {"b", 2}}, 4096}, palm::ZtxtMode::RandomAccess, files[1]);
    palm::BuildZtxt({"Z", text, {{"a", 1}}, 4096}, palm::ZtxtMode::EntireDocument, files[2]);
    return files;
}

TEST(ReaderDamage, ForeignTruncatedAndAlteredFiles)
{
    palm::EbookInfo info;
    EXPECT_EQ(palm::ReadEbookFile("no such file.pdb", info).status, Status::DatabaseUnreadable);
    std::vector<std::string> files = Samples();
    for (const std::string& file : files) {
        ASSERT_TRUE(palm::ReadEbook(file, info).Ok());
        for (std::size_t cut : {file.size() / 2, std::size_t{120}, std::size_t{90}})
            EXPECT_EQ(palm::ReadEbook(file.substr(0, cut), info).status, Status::DamagedDatabase) << cut;
    }
    files[0].replace(60, 8, "BOOKMOBI");
    EXPECT_EQ(palm::ReadEbook(files[0], info).status, Status::NotAnEbook);
    // A document given in place of a database is no damaged database.
    for (const std::string text : {"", "Call me Ishmael.",
                                   "It was the best of times, it was the worst of times, it was the "
                                   "age of wisdom, it was the age of foolishness...\n"})
        EXPECT_EQ(palm::ReadEbook(text, info).status, Status::NotAnEbook) << text;

    std::string ztxt = files[1];
    ztxt.pop_back();  // bookmark record one byte short
    EXPECT_EQ(palm::ReadEbook(ztxt, info).status, Status::DamagedDatabase);
    ztxt = files[1];
    ztxt[ztxt.size() - 60] ^= 0x01;  // inside the last text record: CRC-32 mismatch
    EXPECT_EQ(palm::ReadEbook(ztxt, info).status, Status::DamagedDatabase);
    ztxt = files[1];
    ztxt[78 + 8 * static_cast<unsigned char>(ztxt[77]) + 2 + 5] ^= 0x10;  // declared text length
    EXPECT_EQ(palm::ReadEbook(ztxt, info).status, Status::DamagedDatabase);
}

TEST(ReaderDamage, TextThatIsNotTheDeclaredLengthIsDamageButCanBeSalvaged)
{
    const std::string text = palmtest::MixedBytes(20000, 4);
    std::string book;
    ASSERT_TRUE(palm::BuildPalmDoc({"P", text, {{"a", 1}}, 4096}, true, book).Ok());
    const auto offset = [&book](std::size_t record) { return RecordOffset(book, record); };
    const std::size_t rec0 = offset(0);
    // Each zero byte of a compressed record decodes to one zero byte.
    const std::string zeroed = text.substr(0, 4096) + std::string(offset(3) - offset(2), '\0') + text.substr(8192);
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        std::string salvaged;
    };
    const Case cases[] = {
        {"no text records counted", [&](std::string& f) { f[rec0 + 9] = 0; }, ""},
        {"one text record counted", [&](std::string& f) { f[rec0 + 9] = 1; }, text.substr(0, 4096)},
        {"a record zeroed", [&](std::string& f) { std::fill(&f[offset(2)], &f[offset(3)], '\0'); }, zeroed},
        {"a longer text declared", [&](std::string& f) { ++f[rec0 + 7]; }, text},
    };
    for (const Case& c : cases) {
        std::string file = book;
        c.damage(file);
        palm::EbookInfo info;
        const palm::Result result = palm::ReadEbook(file, info);
        EXPECT_EQ(result.status, Status::DamagedDatabase) << c.what;
        EXPECT_TRUE(info.salvaged) << c.what;
        EXPECT_EQ(info.text, c.salvaged) << c.what;
        ASSERT_EQ(info.bookmarks.size(), 1u) << c.what;
    }
    palm::EbookInfo whole;
    ASSERT_TRUE(palm::ReadEbook(book, whole).Ok());
    EXPECT_FALSE(whole.salvaged);
}

TEST(ReaderDamage, RecordsCountedBeyondTheFileAreDamageButTheRestIsSalvaged)
{
    const std::string text = palmtest::MixedBytes(20000, 4);
    std::string palmDoc;
    std::string ztxt;
    ASSERT_TRUE(palm::BuildPalmDoc({"P", text, {}, 4096}, true, palmDoc).Ok());
    ASSERT_TRUE(palm::BuildZtxt({"Z", text, {}, 4096}, palm::ZtxtMode::RandomAccess, ztxt).Ok());
    struct Case {
        std::string file;
        std::size_t countAt;  // the low byte of the text record count in record 0
        std::string text;
    };
    for (Case c : {Case{palmDoc, 9, text}, Case{ztxt, 3, WithLfBreaks(text)}}) {
        ++c.file[RecordOffset(c.file, 0) + c.countAt];
        palm::EbookInfo info;
        EXPECT_EQ(palm::ReadEbook(c.file, info).status, Status::DamagedDatabase) << c.countAt;
        EXPECT_TRUE(info.salvaged) << c.countAt;
        EXPECT_EQ(info.text, c.text) << c.countAt;
    }
}

TEST(ReaderDamage, ImpossibleHeaderValuesAreDamageWithTheRestKept)
{
    const std::string text = palmtest::MixedBytes(20000, 4);
    const std::string lfText = WithLfBreaks(text);
    const Marks marks{{"a", 1}, {"b", 2}};
    std::string palmDoc;
    std::string ztxt;
    ASSERT_TRUE(palm::BuildPalmDoc({"P", text, marks, 4096}, true, palmDoc).Ok());
    ASSERT_TRUE(palm::BuildZtxt({"Z", text, marks, 4096}, palm::ZtxtMode::RandomAccess, ztxt).Ok());
    const std::size_t palmDocRec0 = RecordOffset(palmDoc, 0);
    const std::size_t ztxtRec0 = RecordOffset(ztxt, 0);
    // Both formats store the last bookmark last.
    const std::size_t lastPalmDocMark = palmDoc.size() - 4;
    const std::size_t lastZtxtMark = ztxt.size() - 24;
    struct Case {
        const char* what;
        const std::string& book;
        std::size_t at;
        std::size_t width;
        std::uint32_t value;
        std::string text;
        Marks kept;
    };
    const Case cases[] = {
        {"PalmDoc record size 0", palmDoc, palmDocRec0 + 10, 2, 0, text, marks},
        {"PalmDoc record size below its records", palmDoc, palmDocRec0 + 10, 2, 4095, text, marks},
        {"PalmDoc bookmark past the text", palmDoc, lastPalmDocMark, 4, 20001, text, {{"a", 1}}},
        {"zTXT bookmark record a text record", ztxt, ztxtRec0 + 12, 2, 1, lfText, {}},
        {"zTXT bookmark past the text", ztxt, lastZtxtMark, 4, 2027582414, lfText, {{"a", 1}}},
        // A record may inflate to its record size, however long the text is said to be.
        {"zTXT record size below a record", ztxt, ztxtRec0 + 8, 2, 1000, lfText.substr(0, 1000), marks},
        {"zTXT length far beyond the records", ztxt, ztxtRec0 + 4, 4, 0xFFFFFFFF, lfText, marks},
    };
    for (const Case& c : cases) {
        std::string file = c.book;
        SetField(file, c.at, c.width, c.value);
        palm::EbookInfo info;
        EXPECT_EQ(palm::ReadEbook(file, info).status, Status::DamagedDatabase) << c.what;
        EXPECT_TRUE(info.salvaged) << c.what;
        EXPECT_EQ(info.text, c.text) << c.what;
        EXPECT_EQ(info.bookmarks, c.kept) << c.what;
    }
}

TEST(ReaderDamage, RandomMutationsNeverCrash)
{
    const std::vector<std::string> files = Samples();
    std::mt19937 random(42);
    std::size_t rejected = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string file = files[round % 3];
        for (int flips = 1 + random() % 4; flips-- > 0;)
            file[random() % (round % 2 ? 200 : file.size())] = static_cast<char>(random());
        palm::EbookInfo info;
        rejected += !palm::ReadEbook(file, info).Ok();
    }
    EXPECT_GT(rejected, 300u);
}

}  // namespace
