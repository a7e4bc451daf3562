// Damaged and foreign files give an error result; the sanitizer build checks
// that no byte outside the file is read on the way.
#include <gtest/gtest.h>

#include <random>

#include <palm/EbookReader.h>
#include <palm/EbookWriters.h>

#include "PalmTestSupport.h"

namespace {

using palm::Status;

std::string sampleZtxt(palm::ZtxtMode mode) {
  std::string file;
  EXPECT_TRUE(palm::buildZtxt({"Z", palmtest::mixedBytes(20000, 4), {{"a", 1}, {"b", 2}}, 4096}, mode, file).ok());
  return file;
}

std::string samplePalmDoc() {
  std::string file;
  EXPECT_TRUE(palm::buildPalmDoc({"P", palmtest::mixedBytes(20000, 4), {{"a", 1}}, 4096}, true, file).ok());
  return file;
}

TEST(ReaderDamage, ForeignAndTruncatedFiles) {
  palm::EbookInfo info;
  EXPECT_EQ(palm::readEbook("", info).status, Status::DamagedDatabase);
  std::string other = samplePalmDoc();
  other.replace(60, 8, "BOOKMOBI");
  EXPECT_EQ(palm::readEbook(other, info).status, Status::NotAnEbook);
  EXPECT_EQ(palm::readEbookFile("no such file.pdb", info).status, Status::DatabaseUnreadable);

  for (const std::string& file : {samplePalmDoc(), sampleZtxt(palm::ZtxtMode::RandomAccess),
                                  sampleZtxt(palm::ZtxtMode::EntireDocument)}) {
    ASSERT_TRUE(palm::readEbook(file, info).ok());
    for (std::size_t cut : {file.size() / 2, std::size_t{120}, std::size_t{90}})
      EXPECT_FALSE(palm::readEbook(file.substr(0, cut), info).ok()) << "cut at " << cut;
  }
}

TEST(ReaderDamage, ZtxtChecksumAndDeclaredLength) {
  palm::EbookInfo info;
  std::string file = sampleZtxt(palm::ZtxtMode::RandomAccess);
  file[file.size() - 60] ^= 0x01;  // inside a text record
  EXPECT_EQ(palm::readEbook(file, info).status, Status::DamagedDatabase);

  file = sampleZtxt(palm::ZtxtMode::RandomAccess);
  file.pop_back();  // bookmark record one byte short
  EXPECT_EQ(palm::readEbook(file, info).status, Status::DamagedDatabase);

  file = sampleZtxt(palm::ZtxtMode::RandomAccess);
  const std::size_t rec0 = 78 + 8 * (static_cast<unsigned char>(file[77])) + 2;
  file[rec0 + 5] ^= 0x10;  // declared text length
  EXPECT_EQ(palm::readEbook(file, info).status, Status::DamagedDatabase);
}

TEST(ReaderDamage, RandomMutationsNeverCrash) {
  const std::string samples[] = {samplePalmDoc(), sampleZtxt(palm::ZtxtMode::RandomAccess),
                                 sampleZtxt(palm::ZtxtMode::EntireDocument)};
  std::mt19937 random(42);
  std::size_t rejected = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string file = samples[round % 3];
    for (int flips = 1 + random() % 4; flips-- > 0;)
      file[random() % (round % 2 ? 200 : file.size())] = static_cast<char>(random());
    palm::EbookInfo info;
    if (!palm::readEbook(file, info).ok()) ++rejected;
  }
  EXPECT_GT(rejected, 0u);
}

}  // namespace
