#include "HandheldCharset.h"

#include "HandheldCharsetTables.h"
#include "Utf8Sequence.h"

#include <core/NameCharacters.h>

#include <framework/Windows1252.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace folivo {
namespace {

namespace tables = charset_tables;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";

// Whether the eight bytes at p are all ASCII.
bool AsciiWord(const unsigned char* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return (word & 0x8080808080808080u) == 0;
}

// Writes characters as Windows-1252 from `start` on, counting the ones not
// written as themselves. The caller provides room: at most four bytes per
// character, and never more than the character's UTF-8 form.
class Writer {
public:
    explicit Writer(char* start) : m_start(start), m_at(start) {}

    char* At() const { return m_at; }
    std::size_t Replaced() const { return m_replaced; }

    void Byte(unsigned char b) { *m_at++ = static_cast<char>(b); }

    void Copy(const unsigned char* p, std::size_t n)
    {
        std::memcpy(m_at, p, n);
        m_at += n;
    }

    void Unknown()
    {
        Byte('?');
        ++m_replaced;
    }

    void Put(char32_t c)
    {
        if (unsigned char byte = 0; c <= 0xFFFF && UnicodeToCp1252(static_cast<char16_t>(c), byte)) {
            Byte(byte);
            return;
        }
        if (c >= 0x300 && c <= 0x36F && m_at != m_start && Compose(c))
            return;
        ++m_replaced;
        const auto form = std::upper_bound(tables::kPlainForms.begin(), tables::kPlainForms.end(), c,
                                           [](char32_t x, const tables::PlainForm& f) { return x < f.first; });
        if (form == tables::kPlainForms.begin() || std::prev(form)->last < c) {
            Byte('?');
            return;
        }
        for (const unsigned char b : std::prev(form)->text) {
            if (b == 0)
                break;
            Byte(b);
        }
    }

private:
    // Folds the combining mark c into the byte before it when the two make a
    // Windows-1252 letter.
    bool Compose(char32_t c)
    {
        const auto base = static_cast<unsigned char>(m_at[-1]);
        const auto key = std::pair(static_cast<std::uint16_t>(c), base);
        const auto at =
            std::lower_bound(tables::kCompositions.begin(), tables::kCompositions.end(), key,
                             [](const tables::Composition& x, const auto& k) { return std::pair(x.mark, x.base) < k; });
        if (at == tables::kCompositions.end() || at->mark != key.first || at->base != base)
            return false;
        m_at[-1] = static_cast<char>(at->composed);
        return true;
    }

    char* m_start;
    char* m_at;
    std::size_t m_replaced = 0;
};

void FromUtf8(const unsigned char* p, const unsigned char* end, Writer& w)
{
    while (p != end) {
        // Books are mostly ASCII: copy it a word at a time.
        const unsigned char* run = p;
        while (end - p >= 8 && AsciiWord(p))
            p += 8;
        w.Copy(run, p - run);
        if (p == end)
            break;
        const char32_t c = NextUtf8(p, end);
        if (c == kMalformedUtf8)
            w.Unknown();
        else
            w.Put(c);
    }
}

void FromUtf16(const unsigned char* p, const unsigned char* end, bool bigEndian, Writer& w)
{
    const auto unit = [bigEndian](const unsigned char* q) -> char32_t {
        return bigEndian ? q[0] << 8 | q[1] : q[1] << 8 | q[0];
    };
    while (end - p >= 2) {
        char32_t c = unit(p);
        p += 2;
        if (c >= 0xD800 && c <= 0xDFFF) {
            const char32_t low = end - p >= 2 ? unit(p) : 0;
            if (c > 0xDBFF || low < 0xDC00 || low > 0xDFFF) {
                w.Unknown();
                continue;
            }
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            p += 2;
        }
        w.Put(c);
    }
    if (p != end)
        w.Unknown();
}

bool IsDigit(char c, bool hex)
{
    return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

bool IsAlphanumeric(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The length of the numeric reference at the start of `text` ("&#"
// included), with its number in `value`, capped at 0x110000; 0 when there is
// none.
std::size_t NumericReference(std::string_view text, char32_t& value)
{
    std::size_t i = 2;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    i += hex;
    const std::size_t digits = i;
    value = 0;
    for (; i < text.size() && IsDigit(text[i], hex); ++i) {
        const char d = text[i];
        const char32_t digit = d <= '9' ? d - '0' : (d | 0x20) - 'a' + 10;
        value = std::min<char32_t>(value * (hex ? 16 : 10) + digit, 0x110000);
    }
    return i > digits && i < text.size() && text[i] == ';' ? i + 1 : 0;
}

// The named reference at the start of `text`, or null.
const tables::NamedReference* NamedReference(std::string_view text)
{
    // Longer than any name HTML has.
    constexpr std::size_t kLongestName = 32;
    std::size_t i = 1;
    while (i < text.size() && i <= kLongestName && IsAlphanumeric(text[i]))
        ++i;
    if (i == 1 || i == text.size() || text[i] != ';')
        return nullptr;
    const std::string_view name = text.substr(1, i - 1);
    const auto nameOf = [](const tables::NamedReference& r) {
        return tables::kReferenceNames.substr(r.name, r.length);
    };
    const auto at =
        std::lower_bound(tables::kNamedReferences.begin(), tables::kNamedReferences.end(), name,
                         [&](const tables::NamedReference& r, std::string_view x) { return nameOf(r) < x; });
    return at != tables::kNamedReferences.end() && nameOf(*at) == name ? &*at : nullptr;
}

}  // namespace

TextEncoding DetectEncoding(std::string_view bytes) noexcept
{
    if (bytes.starts_with(kUtf8Mark))
        return TextEncoding::Utf8Bom;
    if (bytes.starts_with(kUtf16LEMark))
        return TextEncoding::Utf16LE;
    if (bytes.starts_with(kUtf16BEMark))
        return TextEncoding::Utf16BE;
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto end = p + bytes.size();
    bool beyondAscii = false;
    while (p != end) {
        while (end - p >= 8 && AsciiWord(p))
            p += 8;
        if (p == end)
            break;
        const bool ascii = *p < 0x80;
        if (NextUtf8(p, end) == kMalformedUtf8)
            return TextEncoding::EightBit;
        beyondAscii |= !ascii;
    }
    return beyondAscii ? TextEncoding::Utf8 : TextEncoding::EightBit;
}

std::size_t ToHandheldCharset(std::string_view bytes, TextEncoding from, std::string& out)
{
    if (from == TextEncoding::EightBit) {
        out.append(bytes);
        return 0;
    }
    const bool utf16 = from == TextEncoding::Utf16LE || from == TextEncoding::Utf16BE;
    const std::string_view mark = utf16 ? (from == TextEncoding::Utf16LE ? kUtf16LEMark : kUtf16BEMark) : kUtf8Mark;
    if (bytes.starts_with(mark))
        bytes.remove_prefix(mark.size());
    // A UTF-16 unit becomes at most three bytes, a pair at most four, an odd last byte one.
    const std::size_t room = utf16 ? bytes.size() / 2 * 3 + 1 : bytes.size();
    const std::size_t start = out.size();
    out.resize(start + room);
    Writer w(out.data() + start);
    const auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (utf16)
        FromUtf16(p, p + bytes.size(), from == TextEncoding::Utf16BE, w);
    else
        FromUtf8(p, p + bytes.size(), w);
    out.resize(w.At() - out.data());
    return w.Replaced();
}

std::string ToHandheldString(std::string_view text, std::size_t* replaced)
{
    std::string out;
    const std::size_t n = ToHandheldCharset(text, DetectEncoding(text), out);
    if (replaced)
        *replaced += n;
    return out;
}

std::u32string NameCharacters(std::string_view bytes)
{
    std::u32string characters;
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto end = p + bytes.size();
    while (p != end) {
        const char32_t c = NextUtf8(p, end);
        if (c == kMalformedUtf8) {
            characters.clear();
            for (const unsigned char byte : bytes)
                characters += Cp1252ToUnicode(byte);
            break;
        }
        characters += c;
    }
    return characters;
}

std::string HandheldName(std::string_view typed, std::size_t* replaced)
{
    return ToHandheldString(typed, replaced);
}

std::size_t NameCut(std::string_view name, std::size_t limit)
{
    if (name.size() <= limit)
        return name.size();
    // A name is UTF-8 only when all of it is well-formed.
    auto p = reinterpret_cast<const unsigned char*>(name.data());
    const auto end = p + name.size();
    while (p != end)
        if (NextUtf8(p, end) == kMalformedUtf8)
            return limit;
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

DecodedReference DecodeCharacterReference(std::string_view text) noexcept
{
    DecodedReference ref;
    if (text.size() < 4 || text[0] != '&')
        return ref;
    Writer w(ref.bytes);
    if (text[1] == '#') {
        char32_t value;
        ref.length = NumericReference(text, value);
        if (ref.length == 0)
            return ref;
        if (value >= 0x80 && value <= 0x9F)
            w.Byte(static_cast<unsigned char>(value));
        else if (value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
            w.Unknown();
        else
            w.Put(value);
    } else {
        const tables::NamedReference* named = NamedReference(text);
        if (!named)
            return ref;
        ref.length = named->length + 2u;
        for (const char32_t c : named->codePoints)
            if (c != 0)
                w.Put(c);
    }
    ref.size = static_cast<std::uint8_t>(w.At() - ref.bytes);
    ref.replaced = w.Replaced();
    return ref;
}

}  // namespace folivo
