// The settings file: plain text, one line per item, lines ended by LF (a CR
// before the LF is ignored).
//
//   # comment                     kept as written; so is every blank line
//   [Software\Kavvan Software\Folivo Converter\Defaults]
//                                 the key the following values belong to,
//                                 written as is
//   PalmDocBlock=dword:4          a DWORD: decimal, signed (-8) or not
//                                 (4294967288), or hexadecimal (0xFFFFFFF8)
//   Bookmarks=string:"^Chapter\r\n^Part"
//                                 a string between double quotes
//
// Names and strings are bytes. Printable ASCII stands for itself, except that
// \\ \" \r \n \t \0 and \xHH (two hex digits) stand for a backslash, a quote,
// CR, LF, tab, NUL and any byte; the writer uses \xHH for every other control
// byte and for bytes 0x80 to 0xFF, so the file stays 7-bit and one value never
// spans two lines. In names the writer also escapes space, '=', '#', '[' and
// '"'. Value names and the key in a header match without regard to ASCII case,
// and a UTF-8 byte-order mark before the first header is skipped, as editors
// may write one; when a name occurs twice,
// the last readable line counts. A line that cannot be read in full is treated
// as absent and left in the file unchanged.
#include "SettingsFile.h"
#include "LittleEndian.h"

#include <core/SettingsValues.h>

#include <charconv>
#include <cstdint>

namespace folivo {

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void Escape(CString& out, std::string_view bytes, bool isName)
{
    static const char hex[] = "0123456789ABCDEF";
    for (char c : bytes) {
        unsigned char b = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': out += "\\\\"; continue;
        case '"': out += "\\\""; continue;
        case '\r': out += "\\r"; continue;
        case '\n': out += "\\n"; continue;
        case '\t': out += "\\t"; continue;
        default: break;
        }
        bool special = isName && (c == ' ' || c == '=' || c == '#' || c == '[');
        if (b < 0x20 || b >= 0x7F || special) {
            out += "\\x";
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        } else {
            out += c;
        }
    }
}

// Decodes escaped text up to its end or, when `quoted`, up to the closing
// quote, which must end `text`. Raw control bytes other than tab are refused.
std::optional<CString> Unescape(std::string_view text, bool quoted)
{
    CString out;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i++];
        if (quoted && c == '"')
            return i == text.size() ? std::optional<CString>(out) : std::nullopt;
        if (c != '\\') {
            unsigned char b = static_cast<unsigned char>(c);
            if ((b < 0x20 && c != '\t') || b == 0x7F)
                return std::nullopt;
            out += c;
            continue;
        }
        if (i == text.size())
            return std::nullopt;
        switch (text[i++]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case '0': out += '\0'; break;
        case 'x': {
            int hi = i < text.size() ? HexDigit(text[i]) : -1;
            int lo = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
            if (hi < 0 || lo < 0)
                return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return quoted ? std::nullopt : std::optional<CString>(out);
}

std::optional<std::uint32_t> ParseDword(std::string_view text)
{
    bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    int base = 10;
    if (!negative && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (negative ? v > 0x80000000u : v > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<std::uint32_t>(negative ? 0x100000000u - v : v);
}

std::optional<StoredValue> ParseValue(std::string_view text)
{
    constexpr std::string_view dword = "dword:";
    constexpr std::string_view string = "string:";
    if (text.starts_with(dword)) {
        auto v = ParseDword(text.substr(dword.size()));
        if (!v)
            return std::nullopt;
        return StoredValue::Dword(*v);
    }
    if (text.starts_with(string)) {
        text.remove_prefix(string.size());
        if (text.empty() || text.front() != '"')
            return std::nullopt;
        auto s = Unescape(text.substr(1), true);
        if (!s)
            return std::nullopt;
        return StoredValue::String(*s);
    }
    return std::nullopt;
}

CString RenderValueLine(std::string_view name, const StoredValue& value)
{
    CString line;
    Escape(line, name, true);
    if (value.type == SettingsType::Dword) {
        line += "=dword:";
        unsigned char bytes[4] = {};
        value.data.copy(reinterpret_cast<char*>(bytes), 4);
        line += std::to_string(static_cast<std::int32_t>(LoadDword(bytes)));
    } else {
        std::string_view text = value.data;
        if (!text.empty() && text.back() == '\0')
            text.remove_suffix(1);
        line += "=string:\"";
        Escape(line, text, false);
        line += '"';
    }
    return line;
}

const char* const kFileHeader[] = {
    "# Folivo Converter settings. One value a line: Name=dword:<number> or",
    "# Name=string:\"<text>\"; in text, \\\\ \\\" \\r \\n \\t \\0 and \\xHH stand for single bytes.",
};

}  // namespace

StoredValue StoredValue::Dword(std::uint32_t value)
{
    unsigned char bytes[4];
    StoreDword(value, bytes);
    return StoredValue{SettingsType::Dword, CString(reinterpret_cast<const char*>(bytes), 4)};
}

StoredValue StoredValue::String(std::string_view text)
{
    CString data(text);
    data.push_back('\0');
    return StoredValue{SettingsType::String, std::move(data)};
}

SettingsDocument SettingsDocument::Parse(std::string_view text)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    SettingsDocument doc;
    CString section;
    while (!text.empty()) {
        std::size_t eol = text.find('\n');
        std::string_view raw = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);

        Line line;
        line.raw = CString(raw);
        if (doc.m_lines.empty() && raw.starts_with(byteOrderMark))
            raw.remove_prefix(byteOrderMark.size());
        std::string_view body = Trim(raw);
        if (body.size() >= 2 && body.front() == '[' && body.back() == ']') {
            section = CString(body.substr(1, body.size() - 2));
            line.isHeader = true;
        } else if (!body.empty() && body.front() != '#') {
            std::size_t eq = body.find('=');
            if (eq != std::string_view::npos) {
                auto name = Unescape(Trim(body.substr(0, eq)), false);
                auto value = ParseValue(Trim(body.substr(eq + 1)));
                if (name && value) {
                    line.isValue = true;
                    line.name = std::move(*name);
                    line.value = std::move(*value);
                }
            }
            line.isDamaged = !line.isValue;
        }
        line.section = section;
        doc.m_lines.push_back(std::move(line));
    }
    return doc;
}

bool SettingsDocument::HasSection(std::string_view section) const
{
    for (const Line& line : m_lines) {
        if (line.isHeader && SameValueName(line.section, section))
            return true;
    }
    return false;
}

std::optional<StoredValue> SettingsDocument::Find(std::string_view section, std::string_view name) const
{
    for (auto it = m_lines.rbegin(); it != m_lines.rend(); ++it) {
        if (it->isValue && SameValueName(it->section, section) && SameValueName(it->name, name))
            return it->value;
    }
    return std::nullopt;
}

void SettingsDocument::Set(std::string_view section, std::string_view name, const StoredValue& value)
{
    Line line;
    line.raw = RenderValueLine(name, value);
    line.section = CString(section);
    line.isValue = true;
    line.name = CString(name);
    line.value = value;

    // The new line takes the place of the first old one, or follows the last
    // non-blank line of its section; later old ones are dropped.
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    std::size_t first = none;
    std::size_t lastInSection = none;
    for (std::size_t i = 0; i < m_lines.size();) {
        const Line& l = m_lines[i];
        if (SameValueName(l.section, section) && l.isValue && SameValueName(l.name, name) && first != none) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (SameValueName(l.section, section)) {
            if (l.isValue && SameValueName(l.name, name))
                first = i;
            if (!Trim(l.raw).empty())
                lastInSection = i;
        }
        ++i;
    }
    if (first != none) {
        m_lines[first] = std::move(line);
        return;
    }
    if (lastInSection != none) {
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(lastInSection + 1), std::move(line));
        return;
    }
    if (m_lines.empty()) {
        for (const char* text : kFileHeader) {
            Line comment;
            comment.raw = text;
            m_lines.push_back(std::move(comment));
        }
    }
    Line header;
    header.raw = "[" + CString(section) + "]";
    header.section = CString(section);
    header.isHeader = true;
    m_lines.push_back(std::move(header));
    m_lines.push_back(std::move(line));
}

void SettingsDocument::Remove(std::string_view section, std::string_view name)
{
    std::erase_if(m_lines, [&](const Line& line) {
        return line.isValue && SameValueName(line.section, section) && SameValueName(line.name, name);
    });
}

SettingsDocument::UnseenLines SettingsDocument::Unseen(std::string_view section) const
{
    UnseenLines unseen;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.isDamaged)
            unseen.damaged.push_back(i + 1);
        else if (line.isValue && !SameValueName(line.section, section))
            unseen.outside.push_back(i + 1);
    }
    return unseen;
}

CString SettingsDocument::Serialize() const
{
    CString out;
    for (const Line& line : m_lines) {
        out += line.raw;
        out += '\n';
    }
    return out;
}

}  // namespace folivo
