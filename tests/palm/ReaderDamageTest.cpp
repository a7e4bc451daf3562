// Damaged and foreign files give an error result; the sanitizer build checks
// that no byte outside the file is read on the way.
#include <gtest/gtest.h>

#include <random>

#include <palm/EbookReader.h>
#include <palm/EbookWriters.h>

#include "PalmTestSupport.h"

namespace {

using palm::Status;

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
        for (std::size_t cut : {file.size() / 2, std::size_t{120}, std::size_t{90}, std::size_t{0}})
            EXPECT_EQ(palm::ReadEbook(file.substr(0, cut), info).status, Status::DamagedDatabase) << cut;
    }
    files[0].replace(60, 8, "BOOKMOBI");
    EXPECT_EQ(palm::ReadEbook(files[0], info).status, Status::NotAnEbook);

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
