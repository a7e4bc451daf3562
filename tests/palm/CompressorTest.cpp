#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "PalmDocCompressor.h"
#include "PalmDocDecompressor.h"

#include "PalmTestSupport.h"
#include "SafeReferences.h"
#include "SmallestRecord.h"

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

std::string Decode(const std::string& compressed, std::size_t maxSize = 65536)
{
    std::string out;
    EXPECT_TRUE(palm::DecompressPalmDocRecord(compressed, out, maxSize));
    return out;
}

TEST(PalmDocCompressor, KnownVectors)
{
    EXPECT_EQ(palm::CompressPalmDocRecord("a b"), Bytes({0x61, 0xE2}));
    EXPECT_EQ(palm::CompressPalmDocRecord("Hello world"),
              Bytes({0x48, 0x65, 0x6C, 0x6C, 0x6F, 0xF7, 0x6F, 0x72, 0x6C, 0x64}));

    // Where the greedy reference output is not the cheapest parse, ours must
    // decode to the same text and be smaller.
    const std::pair<std::string, std::string> greedy[] = {
        {"caf\xE9 \x01\x02 ok", Bytes({0x63, 0x61, 0x66, 0x01, 0xE9, 0x20, 0x02, 0x01, 0x02, 0xEF, 0x6B})},
        {"0123456789abcdef0123456789abcdefXYZXYZXYZXYZ",
         "0123456789abcdef" + Bytes({0x80, 0x87, 0x80, 0x83}) + "XYZXYZXYZXYZ"},
    };
    for (const auto& [text, reference] : greedy) {
        EXPECT_EQ(Decode(reference), text);
        const std::string ours = palm::CompressPalmDocRecord(text);
        EXPECT_EQ(Decode(ours), text);
        EXPECT_LT(ours.size(), reference.size());
    }
}

TEST(PalmDocCompressor, RoundTripsEveryKindOfInput)
{
    std::string allValues;
    for (int i = 0; i < 256; ++i)
        allValues += static_cast<char>(i);
    const std::string cases[] = {
        "",
        "x",
        " ",
        "  @",
        std::string(4096, 'a'),
        std::string(4096, '\x80'),
        std::string(4096, '\0'),
        allValues + allValues,
        palmtest::MixedBytes(4096, 1),
        palmtest::MixedBytes(31744, 2),
        palmtest::MixedBytes(1000, 3) + std::string(3000, ' '),
    };
    for (const std::string& input : cases) {
        const std::string compressed = palm::CompressPalmDocRecord(input);
        EXPECT_EQ(Decode(compressed), input) << "size " << input.size();
        EXPECT_LE(compressed.size(), (input.size() * 9 + 7) / 8);
        EXPECT_TRUE(palmtest::ReferencesAreSafe(compressed));
    }
}

// Prose and markup made of a small vocabulary: every length of reference,
// long chains of equal words, space pairs, and some bytes that need escaping.
std::string MadeUpText(std::size_t size, unsigned seed, bool markup)
{
    static const char* const words[] = {"the",           "and",      "of",     "a",    "to",   "in",      "was",
                                        "her",           "Gregor",   "sister", "room", "door", "caf\xE9", "said",
                                        "\x93quite\x94", "wallpaper"};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size) {
        if (markup && random() % 9 == 0)
            text += random() % 2 ? "</p>\r\n<p class=\"x\">" : "&nbsp;<i>";
        text += words[random() % std::size(words)];
        text += random() % 11 == 0 ? ".\r\n" : " ";
    }
    text.resize(size);
    return text;
}

TEST(PalmDocCompressor, ReachesTheSmallestRecordTheFormatAllows)
{
    std::vector<std::string> inputs = {
        MadeUpText(4096, 1, false), MadeUpText(4096, 2, true),
        MadeUpText(1000, 3, true),  palmtest::MixedBytes(4096, 4),
        std::string(4096, ' '),     std::string(2000, 'a') + "ab" + std::string(2094, 'b')};
    // Ten bytes repeated exactly as far back as a reference reaches, and one further.
    for (std::size_t gap : {2037, 2038})
        inputs.push_back("0123456789" + palmtest::MixedBytes(gap, 5) + "0123456789");
    for (const std::string& input : inputs) {
        const std::string compressed = palm::CompressPalmDocRecord(input);
        EXPECT_EQ(Decode(compressed), input);
        EXPECT_EQ(compressed.size(), palmtest::SmallestRecordSize(input)) << input.substr(0, 40);
    }
}

TEST(PalmDocDecompressor, RejectsDamagedRecords)
{
    std::string out;
    EXPECT_FALSE(palm::DecompressPalmDocRecord(Bytes({0x41, 0x80, 0x10}), out, 100)) << "distance beyond the output";
    EXPECT_FALSE(palm::DecompressPalmDocRecord(Bytes({0x41, 0x80, 0x00}), out, 100)) << "distance 0";
    EXPECT_FALSE(palm::DecompressPalmDocRecord(Bytes({0x41, 0x80}), out, 100)) << "reference cut short";
    EXPECT_FALSE(palm::DecompressPalmDocRecord(Bytes({0x05, 0x41, 0x42}), out, 100)) << "run cut short";
    EXPECT_FALSE(palm::DecompressPalmDocRecord("abcdef", out, 5)) << "more than the record size";

    // Overlapping references are legal for a reader: 'A' then 10 more.
    out.clear();
    EXPECT_TRUE(palm::DecompressPalmDocRecord(Bytes({0x41, 0x80, 0x0F}), out, 100));
    EXPECT_EQ(out, std::string(11, 'A'));
    EXPECT_FALSE(palmtest::ReferencesAreSafe(Bytes({0x41, 0x80, 0x0F}))) << "but we never write them";
}

}  // namespace
