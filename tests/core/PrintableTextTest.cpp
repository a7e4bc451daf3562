// Bytes the system gives, shown so that a terminal shows every one and obeys none.
#include <core/PrintableText.h>

#include <gtest/gtest.h>

namespace {

TEST(PrintablePath, EscapesControlsAndMalformedBytesAndKeepsCharacters)
{
    const struct {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"/home/anna/Bücher/日本 ~$`'\"\\", "/home/anna/Bücher/日本 ~$`'\"\\"},
        {"\x1B]0;owned\x07", "\\x1B]0;owned\\x07"},
        {"a\r\nb\t\x7F", "a\\r\\nb\\x09\\x7F"},
        {"\xC2\x9B"
         "2J \xC2\x85 \xC2\xA0",
         "\\x9B2J \\x85 \xC2\xA0"},  // C1 controls, then a no-break space
        {"\x9B"
         "2J \xFF\xE9t",
         "\\x9B2J \\xFF\\xE9t"},                                  // bytes that are no UTF-8
        {"\xE2\x82", "\\xE2\\x82"},                               // a character cut short
        {"\xED\xA0\x80|\xC0\xAF", "\\xED\\xA0\\x80|\\xC0\\xAF"},  // a surrogate, an overlong '/'
    };
    for (const auto& c : cases)
        EXPECT_EQ(folivo::PrintablePath(c.bytes), c.shown) << c.shown;
}

}  // namespace
