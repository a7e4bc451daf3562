#include "Win32RegexTraits.h"

#include <array>

namespace patternkit {
namespace {

enum : std::uint32_t {
    kSpace = 1u << 0,
    kPrint = 1u << 1,
    kCntrl = 1u << 2,
    kUpper = 1u << 3,
    kLower = 1u << 4,
    kAlpha = 1u << 5,
    kDigit = 1u << 6,
    kPunct = 1u << 7,
    kXdigit = 1u << 8,
    kBlank = 1u << 9,
    kWord = 1u << 10,
    kUnicode = 1u << 11,
    kHorizontal = 1u << 12,
    kVertical = 1u << 13,
    kAlnum = kAlpha | kDigit,
    kGraph = kAlnum | kPunct,
};

constexpr unsigned char U(char c)
{
    return static_cast<unsigned char>(c);
}

struct CodePageTables {
    std::array<std::uint32_t, 256> classes{};
    std::array<unsigned char, 256> lower{};
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> primary{};

    constexpr CodePageTables()
    {
        for (int c = 0; c < 256; ++c) {
            lower[c] = upper[c] = primary[c] = static_cast<unsigned char>(c);
        }
        auto pair = [this](int up, int low) {
            lower[up] = static_cast<unsigned char>(low);
            upper[low] = static_cast<unsigned char>(up);
            classes[up] |= kAlpha | kUpper;
            classes[low] |= kAlpha | kLower;
        };
        for (int c = 'A'; c <= 'Z'; ++c)
            pair(c, c + 0x20);
        for (int c = 0xC0; c <= 0xDE; ++c) {
            if (c != 0xD7)
                pair(c, c + 0x20);
        }
        pair(0x8A, 0x9A);                 // Š š
        pair(0x8C, 0x9C);                 // Œ œ
        pair(0x8E, 0x9E);                 // Ž ž
        pair(0x9F, 0xFF);                 // Ÿ ÿ
        for (int c : {0x83, 0xB5, 0xDF})  // ƒ µ ß: lower case without an upper form here
            classes[c] |= kAlpha | kLower;
        for (int c : {0xAA, 0xBA})  // ª º
            classes[c] |= kAlpha;
        for (int c = '0'; c <= '9'; ++c)
            classes[c] |= kDigit | kXdigit;
        for (int c : {'a', 'b', 'c', 'd', 'e', 'f', 'A', 'B', 'C', 'D', 'E', 'F'})
            classes[c] |= kXdigit;
        for (int c = 0; c < 0x20; ++c)
            classes[c] |= kCntrl;
        for (int c : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D})
            classes[c] |= kCntrl;
        for (int c : {0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x20, 0xA0})
            classes[c] |= kSpace;
        for (int c : {'\n', '\v', '\f', '\r'})
            classes[c] |= kVertical;
        for (int c : {0x09, 0x20, 0xA0})
            classes[c] |= kBlank | kHorizontal;
        for (int c = 0x21; c < 256; ++c) {
            if (!(classes[c] & (kAlnum | kCntrl | kSpace)))
                classes[c] |= kPunct;
        }
        for (int c = 0; c < 256; ++c) {
            if (classes[c] & (kGraph | kSpace) && !(classes[c] & (kCntrl | kVertical)) && c != '\t')
                classes[c] |= kPrint;
            if (classes[c] & kAlnum)
                classes[c] |= kWord;
        }
        classes['_'] |= kWord;

        // Primary keys: lower case without accents.
        for (int c = 0; c < 256; ++c)
            primary[c] = lower[c];
        const char* accented =
            "\xE0\xE1\xE2\xE3\xE4\xE5\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF1\xF2\xF3\xF4\xF5\xF6\xF8"
            "\xF9\xFA\xFB\xFC\xFD\xFF\x9A\x9E";
        const char* plain = "aaaaaaceeeeiiiinoooooouuuuyysz";
        for (int i = 0; accented[i]; ++i) {
            const unsigned char low = U(accented[i]);
            primary[low] = U(plain[i]);
            primary[upper[low]] = U(plain[i]);
        }
    }
};

// Built by the compiler: matching never waits on a run-time initialisation.
constexpr CodePageTables kTables;

constexpr const CodePageTables& Tables()
{
    return kTables;
}

// Indexed by 1 + the engine's class id (0 for an unknown name); the order is
// the engine's: alnum alpha blank cntrl d digit graph h l lower print punct s
// space u unicode upper v w word xdigit.
constexpr std::array<std::uint32_t, 22> kClassMasks = {
    0,      kAlnum, kAlpha, kBlank, kCntrl, kDigit,   kDigit, kGraph,    kHorizontal,    kLower,         kLower,
    kPrint, kPunct, kSpace, kSpace, kUpper, kUnicode, kUpper, kVertical, kAlnum | kWord, kAlnum | kWord, kXdigit,
};

}  // namespace

boost::regex_constants::syntax_type Win32RegexTraits::syntax_type(char c) const
{
    return (U(c) & 0x80) ? boost::regex_constants::syntax_char
                         : boost::BOOST_REGEX_DETAIL_NS::get_default_syntax_type(c);
}

boost::regex_constants::escape_syntax_type Win32RegexTraits::escape_syntax_type(char c) const
{
    return (U(c) & 0x80) ? boost::regex_constants::escape_type_identity
                         : boost::BOOST_REGEX_DETAIL_NS::get_default_escape_syntax_type(c);
}

char Win32RegexTraits::tolower(char c) const
{
    return static_cast<char>(Tables().lower[U(c)]);
}
char Win32RegexTraits::toupper(char c) const
{
    return static_cast<char>(Tables().upper[U(c)]);
}

Win32RegexTraits::string_type Win32RegexTraits::transform_primary(const char* p1, const char* p2) const
{
    string_type key(p1, p2);
    for (char& c : key)
        c = static_cast<char>(Tables().primary[U(c)]);
    return key;
}

Win32RegexTraits::char_class_type Win32RegexTraits::lookup_classname(const char* p1, const char* p2) const
{
    int id = boost::BOOST_REGEX_DETAIL_NS::get_default_class_id(p1, p2);
    if (id < 0) {
        // Class names are also known in capitals ([[:ALPHA:]]).
        string_type lowered(p1, p2);
        for (char& c : lowered)
            c = tolower(c);
        id = boost::BOOST_REGEX_DETAIL_NS::get_default_class_id(lowered.data(), lowered.data() + lowered.size());
    }
    return kClassMasks[static_cast<std::size_t>(id + 1)];
}

Win32RegexTraits::string_type Win32RegexTraits::lookup_collatename(const char* p1, const char* p2) const
{
    std::string name = boost::BOOST_REGEX_DETAIL_NS::lookup_default_collate_name(std::string(p1, p2));
    if (name.empty() && p2 - p1 == 1)
        name.assign(1, *p1);
    return name;
}

bool Win32RegexTraits::isctype(char c, char_class_type mask) const
{
    return (Tables().classes[U(c)] & mask) != 0;
}

int Win32RegexTraits::value(char c, int radix) const
{
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < radix ? v : -1;
}

boost::intmax_t Win32RegexTraits::toi(const char*& p1, const char* p2, int radix) const
{
    return boost::BOOST_REGEX_DETAIL_NS::global_toi(p1, p2, radix, *this);
}

std::string Win32RegexTraits::error_string(boost::regex_constants::error_type e) const
{
    if (m_locale.catalogue) {
        if (const std::string* text = m_locale.catalogue->Find(200u + static_cast<unsigned>(e)))
            return *text;
    }
    return boost::BOOST_REGEX_DETAIL_NS::get_default_error_string(e);
}

Win32RegexTraits::locale_type Win32RegexTraits::imbue(locale_type l)
{
    locale_type old = m_locale;
    m_locale = std::move(l);
    return old;
}

}  // namespace patternkit
