#include "Databases.h"
#include "HandheldCharsetTables.h"
#include "TestEnvironment.h"

#include "HandheldCharset.h"
#include <core/ConversionJob.h>
#include <core/WizardPages.h>
#include <framework/Windows1252.h>

#include <gtest/gtest.h>

#include <iconv.h>
#include <set>
#include <string>
#include <vector>

using folivo::TextEncoding;

namespace {

const char* Name(TextEncoding e)
{
    switch (e) {
    case TextEncoding::EightBit: return "EightBit";
    case TextEncoding::Utf8: return "Utf8";
    case TextEncoding::Utf8Bom: return "Utf8Bom";
    case TextEncoding::Utf16LE: return "Utf16LE";
    case TextEncoding::Utf16BE: return "Utf16BE";
    }
    return "?";
}

// The bytes of a UTF-8 literal.
std::string U8(std::u8string_view text)
{
    return {reinterpret_cast<const char*>(text.data()), text.size()};
}

// `units` in UTF-16, after the byte-order mark.
std::string Le(std::u16string_view units)
{
    std::string bytes = "\xFF\xFE";
    for (const char16_t u : units)
        bytes += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    return bytes;
}

std::string Be(std::u16string_view units)
{
    std::string bytes = "\xFE\xFF";
    for (const char16_t u : units)
        bytes += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
    return bytes;
}

TEST(HandheldCharset, Detection)
{
    const std::string ascii16 = "sixteen ascii by";
    const struct {
        std::string bytes;
        TextEncoding expected;
    } cases[] = {
        {"", TextEncoding::EightBit},
        {"plain ASCII text", TextEncoding::EightBit},
        {U8(u8"café"), TextEncoding::Utf8},
        {ascii16 + U8(u8"😀") + ascii16, TextEncoding::Utf8},
        {"\xEF\xBB\xBF", TextEncoding::Utf8Bom},
        {U8(u8"\uFEFFascii only"), TextEncoding::Utf8Bom},
        {Le(u"x"), TextEncoding::Utf16LE},
        {Be(u""), TextEncoding::Utf16BE},
        // One flaw anywhere and the text is 8-bit: Windows-1252 mixed in,
        // sequences cut short, overlong forms, surrogates, beyond U+10FFFF.
        {U8(u8"café ") + "caf\xE9", TextEncoding::EightBit},
        {U8(u8"café ") + "caf\xC3", TextEncoding::EightBit},
        {"\xE2\x80 \xE2\x80\x94", TextEncoding::EightBit},
        {U8(u8"é") + ascii16 + "\xF0\x9F\x98", TextEncoding::EightBit},
        {ascii16 + "\x80", TextEncoding::EightBit},
        {"\xC0\xAF", TextEncoding::EightBit},
        {"\xE0\x9F\xBF", TextEncoding::EightBit},
        {"\xED\xA0\x80", TextEncoding::EightBit},
        {"\xF4\x90\x80\x80", TextEncoding::EightBit},
        {"\xF5\x80\x80\x80", TextEncoding::EightBit},
        {"\xEF\xBB", TextEncoding::EightBit},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(Name(folivo::DetectEncoding(c.bytes)), Name(c.expected)) << testing::PrintToString(c.bytes);
}

struct Conversion {
    std::string bytes;
    TextEncoding from;
    std::string expected;
    std::size_t replaced;
};

void ExpectConversions(const Conversion* begin, const Conversion* end)
{
    for (const Conversion* c = begin; c != end; ++c) {
        std::string out = "kept";
        const std::size_t replaced = folivo::ToHandheldCharset(c->bytes, c->from, out);
        EXPECT_EQ(out, "kept" + c->expected) << Name(c->from) << " " << testing::PrintToString(c->bytes);
        EXPECT_EQ(replaced, c->replaced) << Name(c->from) << " " << testing::PrintToString(c->bytes);
    }
}

TEST(HandheldCharset, PlainForms)
{
    const auto u8 = TextEncoding::Utf8;
    const Conversion cases[] = {
        {U8(u8"Łóżko ą"), u8, "L\xF3zko a", 3},  // letters with marks Windows-1252 lacks
        {U8(u8"ﬁx ĳ"), u8, "fix ij", 2},         // ligatures
        {U8(u8"Ǆ"), u8, "D\x8E", 1},             // a ligature keeping a Windows-1252 letter
        {U8(u8"a‐b−c―"), u8, "a-b-c-", 3},
        {U8(u8"a\u2009b\u3000c\u202F"), u8, "a b c ", 3},
        {U8(u8"‛x‟y″z＂"), u8, "'x\"y\"z\"", 4},
        {U8(u8"𝐀①㎒"), u8, "A1MHz", 3},
        {U8(u8"a\u2028b"), u8, "a\nb", 1},
        {U8(u8"Ω 😀 ⑽"), u8, "? ? ?", 3},  // no plain form; "(10)" would be longer
        // Invisible characters go; a mark joins the letter before it when
        // Windows-1252 has the two as one.
        {U8(u8"a\u200Bb\uFEFFc"), u8, "abc", 2},
        {U8(u8"e\u0301 Y\u0308 S\u030C"), u8, "\xE9 \x9F \x8A", 0},
        {U8(u8"x\u0301 \u0301 e\u0301\u0301"), u8, "x  \xE9", 3},
    };
    ExpectConversions(std::begin(cases), std::end(cases));
}

TEST(HandheldCharset, MalformedAndMarkedInput)
{
    const auto bom = TextEncoding::Utf8Bom;
    const auto le = TextEncoding::Utf16LE;
    const auto be = TextEncoding::Utf16BE;
    const Conversion cases[] = {
        {"\xEF\xBB\xBF", bom, "", 0},
        {U8(u8"\uFEFFcafé “q”"), bom, "caf\xE9 \x93q\x94", 0},
        // One '?' per maximal ill-formed subsequence, as browsers decode.
        {"a\xE2\x80z", bom, "a?z", 1},
        {"\xC0\xAF", bom, "??", 2},
        {"\xED\xA0\x80", bom, "???", 3},
        {"\xF4\x90\x80\x80", bom, "????", 4},
        {"a\xF0\x9F\x98", bom, "a?", 1},
        {"\xE9t\xE9", bom, "?t?", 2},
        {Le(u""), le, "", 0},
        {Le(u"aé“"), le, "a\xE9\x93", 0},
        {Be(u"aé“"), be, "a\xE9\x93", 0},
        {Le(u"a") + "z", le, "a?", 1},
        {Le(u"\xD835\xDC00"), le, "A", 1},  // U+1D400, a pair
        {Be(u"\xD83D\xDE00"), be, "?", 1},  // U+1F600, a pair without a plain form
        {Le(u"\xD83Dz"), le, "?z", 1},
        {Le(u"\xDC00\xD83D"), le, "??", 2},
        {Be(u"\xD83D") + "z", be, "??", 2},
        {Be(u"㎒㎒"), be, "MHzMHz", 2},  // longer than the UTF-16 it came from
        {"\xE9t\xE9 \xC3\xA9", TextEncoding::EightBit, "\xE9t\xE9 \xC3\xA9", 0},
    };
    ExpectConversions(std::begin(cases), std::end(cases));
}

// The UTF-8 form of c.
std::string Utf8(char32_t c)
{
    if (c < 0x80)
        return std::string(1, static_cast<char>(c));
    static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
    const int follow = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    std::string bytes(1, static_cast<char>(kLead[follow] | c >> 6 * follow));
    for (int i = follow - 1; i >= 0; --i)
        bytes += static_cast<char>(0x80 | (c >> 6 * i & 0x3F));
    return bytes;
}

TEST(HandheldCharset, EveryWindows1252CharacterIsItsOwnByte)
{
    std::string all, utf8 = "\xEF\xBB\xBF", utf16 = "\xFE\xFF";
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
        const char16_t c = folivo::Cp1252ToUnicode(static_cast<unsigned char>(b));
        utf16 += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
        utf8 += Utf8(c);
    }
    std::string out;
    EXPECT_EQ(folivo::ToHandheldCharset(utf8, TextEncoding::Utf8Bom, out), 0u);
    EXPECT_EQ(out, all);
    out.clear();
    EXPECT_EQ(folivo::ToHandheldCharset(utf16, TextEncoding::Utf16BE, out), 0u);
    EXPECT_EQ(out, all);
    // The C1 controls Windows-1252 puts other characters in place of.
    std::size_t replaced = 0;
    EXPECT_EQ(folivo::ToHandheldString("\xC2\x80\xC2\x85\xC2\x81", &replaced), "?\n\x81");
    EXPECT_EQ(replaced, 2u);
}

// Every range of the plain-form table holds characters Windows-1252 lacks,
// in order, each written in no more bytes than its UTF-8 form: converting
// UTF-8 never makes the text longer.
TEST(HandheldCharset, PlainFormTableFitsItsCharacters)
{
    std::set<char32_t> own;
    for (int b = 0; b < 256; ++b)
        own.insert(folivo::Cp1252ToUnicode(static_cast<unsigned char>(b)));
    char32_t previous = 0x7F;
    for (const auto& range : folivo::charset_tables::kPlainForms) {
        ASSERT_GT(range.first, previous);
        ASSERT_LE(range.first, range.last);
        previous = range.last;
        for (char32_t c = range.first; c <= range.last; ++c) {
            const auto code = static_cast<std::uint32_t>(c);
            ASSERT_FALSE(own.count(c)) << std::hex << code;
            // After a letter, so that U+FEFF is not taken for a byte-order mark.
            const std::string utf8 = "x" + Utf8(c);
            std::string out;
            ASSERT_EQ(folivo::ToHandheldCharset(utf8, TextEncoding::Utf8, out), 1u) << std::hex << code;
            ASSERT_LE(out.size(), utf8.size()) << std::hex << code;
        }
    }
}

TEST(HandheldCharset, CharacterReferences)
{
    const struct {
        std::string text;
        std::size_t length;
        std::string decoded;
        std::size_t replaced;
    } cases[] = {
        {"&amp;lt;", 5, "&", 0},
        {"&lt;p&gt;", 4, "<", 0},
        {"&gt;", 4, ">", 0},
        {"&quot;", 6, "\"", 0},
        {"&apos;s", 6, "'", 0},
        {"&AMP;", 5, "&", 0},
        {"&eacute;", 8, "\xE9", 0},
        {"&rsquo;&mdash;", 7, "\x92", 0},
        {"&euro;", 6, "\x80", 0},
        {"&#233;", 6, "\xE9", 0},
        {"&#xE9;", 6, "\xE9", 0},
        {"&#X00e9;", 8, "\xE9", 0},
        {"&#8220;", 7, "\x93", 0},
        {"&#150;", 6, "\x96", 0},  // HTML reads 0x80..0x9F as Windows-1252 bytes
        {"&#x81;", 6, "\x81", 0},
        {"&#10;", 5, "\n", 0},
        // Numbers that are no character.
        {"&#0;", 4, "?", 1},
        {"&#xD800;", 8, "?", 1},
        {"&#xDFFF;", 8, "?", 1},
        {"&#x110000;", 10, "?", 1},
        {"&#99999999999999999999;", 23, "?", 1},
        // Characters Windows-1252 lacks.
        {"&Omega;", 7, "?", 1},
        {"&#937;", 6, "?", 1},
        {"&fflig;", 7, "ff", 1},
        {"&ThinSpace;", 11, " ", 1},
        {"&ZeroWidthSpace;", 16, "", 1},
        {"&nvlt;", 6, "<", 1},  // '<' and a combining mark
        {"&fjlig;", 7, "fj", 0},
        {"&CounterClockwiseContourIntegral;", 33, "?", 1},
        // Not references: left for the text to keep.
        {"&amp", 0, "", 0},
        {"&amp ;", 0, "", 0},
        {"& amp;", 0, "", 0},
        {"&;", 0, "", 0},
        {"&#;", 0, "", 0},
        {"&#x;", 0, "", 0},
        {"&#12a;", 0, "", 0},
        {"&#x1g;", 0, "", 0},
        {"&Amp;", 0, "", 0},
        {"&unknown;", 0, "", 0},
        {"&" + std::string(40, 'a') + ";", 0, "", 0},
        {"x&amp;", 0, "", 0},
    };
    for (const auto& c : cases) {
        const folivo::DecodedReference ref = folivo::DecodeCharacterReference(c.text);
        EXPECT_EQ(ref.length, c.length) << c.text;
        EXPECT_EQ(ref.Text(), c.decoded) << c.text;
        EXPECT_EQ(ref.replaced, c.replaced) << c.text;
    }
}

// Every named reference is found, and decodes to no more bytes than it takes,
// so that decoding in place is safe.
TEST(HandheldCharset, EveryNamedReferenceFitsInPlace)
{
    namespace tables = folivo::charset_tables;
    for (const auto& named : tables::kNamedReferences) {
        const std::string text = "&" + std::string(tables::kReferenceNames.substr(named.name, named.length)) + ";";
        const folivo::DecodedReference ref = folivo::DecodeCharacterReference(text);
        ASSERT_EQ(ref.length, text.size()) << text;
        ASSERT_LE(ref.size, ref.length) << text;
    }
}

// glibc's converter to wide characters, to read the books and the results
// independently.
class Iconv {
public:
    explicit Iconv(const char* from) : m_cd(::iconv_open("WCHAR_T", from)) {}
    ~Iconv() { ::iconv_close(m_cd); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // `text` read into `out`, a character for at most each byte; false when
    // some of it has no character.
    bool operator()(std::string_view text, std::wstring& out)
    {
        std::string in(text);
        char* from = in.data();
        std::size_t left = in.size();
        out.assign(in.size(), L'\0');
        char* to = reinterpret_cast<char*>(out.data());
        std::size_t room = out.size() * sizeof(wchar_t);
        ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        const bool whole = ::iconv(m_cd, &from, &left, &to, &room) != static_cast<std::size_t>(-1);
        out.resize(out.size() - room / sizeof(wchar_t));
        return whole;
    }

private:
    iconv_t m_cd;
};

// The text of the database the job makes of `book` with the stored defaults
// (the hand-held's character set and no other rule), read back by our reader.
std::string DatabaseText(const std::filesystem::path& book, const ScratchFolder& scratch, std::size_t& replaced)
{
    BookmarkList bookmarks;
    folivo::ConversionJob job(bookmarks);
    // The HTML books' bytes as they are: laying them out is tested apart.
    folivo::PageAnswers pages;
    pages.textShown = true;
    pages.text.htmlLayout = 0;
    job.SetPages(&pages);
    const std::string output = scratch / "book.pdb";
    EXPECT_EQ(job.RunConversion(book.string(), output, "Book", DocumentFormat::PalmDoc, 4, 0), folivo::kConversionDone);
    replaced = job.LastReport().replacedCharacters;
    return ReadDatabase(output).text;
}

// Every Unicode book of the corpus, converted into a database and read back as
// Windows-1252, gives back each of its characters that Windows-1252 has; the
// others are in their plain forms and counted. 8-bit books are left as they are.
TEST(HandheldCharset, CorpusBooksReadBack)
{
    const auto books = CorpusBooks();
    ASSERT_FALSE(books.empty()) << "no books in " FOLIVO_TEST_CORPUS_DIR;
    IsolatedStore store;
    ScratchFolder scratch;
    ScopedEnv tmp("TMP", scratch.Path().string());
    Iconv fromUtf8("UTF-8"), from1252("WINDOWS-1252");
    // The characters Windows-1252 has, as glibc reads it.
    std::vector<bool> has(0x110000);
    for (int b = 0; b < 256; ++b) {
        std::wstring c;
        if (from1252(std::string(1, static_cast<char>(b)), c))
            has[c[0]] = true;
    }
    std::set<TextEncoding> seen;
    for (const auto& book : books) {
        const std::string name = book.filename().string();
        const std::string bytes = ReadBytes(book);
        const TextEncoding encoding = folivo::DetectEncoding(bytes);
        seen.insert(encoding);
        std::size_t replaced = 0;
        const std::string out = DatabaseText(book, scratch, replaced);
        if (encoding == TextEncoding::EightBit) {
            EXPECT_FALSE(name.ends_with("-0.txt")) << name;
            EXPECT_EQ(out, bytes) << name;
            continue;
        }
        std::wstring original, readBack, expected;
        ASSERT_TRUE(fromUtf8(bytes, original)) << name;
        ASSERT_TRUE(from1252(out, readBack)) << name;
        if (original.starts_with(L'\xFEFF'))
            original.erase(0, 1);
        std::size_t lacking = 0;
        for (const wchar_t c : original) {
            if (has[c]) {
                expected += c;
                continue;
            }
            // Seen alone, as the converter would write it.
            std::wstring form;
            ASSERT_TRUE(from1252(folivo::ToHandheldString(Utf8(c), &lacking), form));
            expected += form;
        }
        EXPECT_EQ(readBack, expected) << name;
        EXPECT_EQ(replaced, lacking) << name;
    }
    // Each way was taken: 8-bit books kept as they are, UTF-8 ones with and
    // without a byte-order mark converted.
    EXPECT_EQ(seen, (std::set<TextEncoding>{TextEncoding::EightBit, TextEncoding::Utf8, TextEncoding::Utf8Bom}));
}

}  // namespace
