#include <framework/Windows1252.h>

#include <gtest/gtest.h>

namespace {

TEST(CodePage1252Test, EveryByteSurvivesTheRoundTripAndForeignCharactersAreRefused)
{
    for (int b = 0; b < 256; ++b) {
        unsigned char back = 0;
        ASSERT_TRUE(folivo::UnicodeToCp1252(folivo::Cp1252ToUnicode(static_cast<unsigned char>(b)), back)) << b;
        EXPECT_EQ(back, b);
    }
    EXPECT_EQ(folivo::Cp1252ToUnicode(0x80), u'\u20AC');
    EXPECT_EQ(folivo::Cp1252ToUnicode(0x93), u'\u201C');
    EXPECT_EQ(folivo::Cp1252ToUnicode(0xE9), u'\u00E9');
    unsigned char byte = 'x';
    EXPECT_FALSE(folivo::UnicodeToCp1252(u'\u0100', byte));  // A with macron: not in the code page
    EXPECT_FALSE(folivo::UnicodeToCp1252(u'\u2603', byte));
    EXPECT_EQ(byte, 'x');
}

}  // namespace
