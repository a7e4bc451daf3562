#include "HtmlLayout.h"

#include "ParserInput.h"
#include "Utf8Text.h"
#include "XmlTree.h"

#include <framework/Windows1252.h>

#include <libxml/xmlerror.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

namespace documents {

enum class TextLayout::Role : unsigned char {
    Inline,
    Hidden,     // gives nothing: head, script, style, template
    Block,      // starts a line
    Paragraph,  // starts a line and ends with an empty one
    ListItem,
    Row,
    Cell,
    Preformatted,
    LineBreak,
    Rule,
    Image,
    Heading,  // h1 to h3: a paragraph whose text is also a mark
};

namespace {

using Role = TextLayout::Role;

struct ElementRole {
    std::string_view name;
    Role role;
};

// Sorted by name, for a binary search.
constexpr ElementRole kRoles[] = {
    {"address", Role::Block},    {"article", Role::Block},
    {"aside", Role::Block},      {"blockquote", Role::Paragraph},
    {"body", Role::Block},       {"br", Role::LineBreak},
    {"caption", Role::Block},    {"center", Role::Block},
    {"dd", Role::Block},         {"div", Role::Block},
    {"dl", Role::Paragraph},     {"dt", Role::Block},
    {"figcaption", Role::Block}, {"figure", Role::Paragraph},
    {"footer", Role::Block},     {"h1", Role::Heading},
    {"h2", Role::Heading},       {"h3", Role::Heading},
    {"h4", Role::Paragraph},     {"h5", Role::Paragraph},
    {"h6", Role::Paragraph},     {"head", Role::Hidden},
    {"header", Role::Block},     {"hr", Role::Rule},
    {"img", Role::Image},        {"li", Role::ListItem},
    {"main", Role::Block},       {"nav", Role::Block},
    {"ol", Role::Paragraph},     {"p", Role::Paragraph},
    {"pre", Role::Preformatted}, {"script", Role::Hidden},
    {"section", Role::Block},    {"style", Role::Hidden},
    {"table", Role::Paragraph},  {"td", Role::Cell},
    {"template", Role::Hidden},  {"th", Role::Cell},
    {"tr", Role::Row},           {"ul", Role::Paragraph},
};

Role RoleOf(std::string_view name)
{
    // XHTML's names are lower case already; the HTML parser folds them.
    const auto* end = std::end(kRoles);
    const auto* found = std::lower_bound(std::begin(kRoles), end, name,
                                         [](const ElementRole& r, std::string_view n) { return r.name < n; });
    return found != end && found->name == name ? found->role : Role::Inline;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

const unsigned char* Bytes(std::string_view text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

// The high bit of each of the eight bytes in `eight` below `limit` (at most
// 0x80) is set, and maybe of bytes above such a one, never of others.
std::uint64_t Below(std::uint64_t eight, unsigned char limit)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    return (eight - kOnes * limit) & ~eight & (kOnes << 7);
}

// Where the run of words parted by single spaces that starts at `from` ends:
// at white space that is no single space before a word, or at the end.
std::size_t WordsEnd(std::string_view text, std::size_t from)
{
    const unsigned char* bytes = Bytes(text);
    const std::size_t size = text.size();
    std::size_t i = from;
    for (;;) {
        // Eight at a time while none is a control character, nor a space
        // before a space or a control character.
        std::uint64_t eight, next;
        while (size - i >= 9 &&
               (std::memcpy(&eight, bytes + i, 8), std::memcpy(&next, bytes + i + 1, 8),
                (Below(eight, 0x20) | (Below(eight ^ 0x2020202020202020u, 1) & Below(next, 0x21))) == 0))
            i += 8;
        if (i == size)
            return i;
        if (!IsSpace(text[i]))
            ++i;
        else if (text[i] == ' ' && i + 1 < size && !IsSpace(text[i + 1]))
            i += 2;
        else
            return i;
    }
}

// A byte as the character Windows-1252 gives it, the five it leaves
// unassigned as the C1 controls of their values, in UTF-8.
void AppendWindows1252(std::string& text, unsigned char byte)
{
    const char16_t c = folivo::Cp1252ToUnicode(byte);
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Our own decoding for what libxml2 would decode badly: its converter stops
// at the five bytes Windows-1252 leaves unassigned, losing the text after
// them, and it lets bytes of malformed UTF-8 through. With `keepUtf8`, the
// well-formed UTF-8 sequences stay as they are and only the other bytes are
// read as Windows-1252.
std::string DecodedText(std::string_view bytes, bool keepUtf8)
{
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    const auto* end = Bytes(bytes) + bytes.size();
    for (const auto* p = Bytes(bytes); p < end;) {
        const int length = keepUtf8 ? Utf8Length(p, end) : 0;
        if (length > 1) {
            text.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(length));
            p += length;
        } else {
            AppendWindows1252(text, *p++);
        }
    }
    return text;
}

bool IsUtf8Label(const std::string& label)
{
    return label == "utf-8" || label == "utf8";
}

// Latin-1's labels too: browsers read them as Windows-1252, whose letters
// are where Latin-1 has control characters.
bool IsWindows1252Label(const std::string& label)
{
    for (const char* name : {"iso-8859-1", "iso8859-1", "latin1", "l1", "us-ascii", "ascii", "windows-1252", "cp1252"})
        if (label == name)
            return true;
    return false;
}

// The encoding the document's start declares (an XML declaration's
// encoding, a <meta> charset), in lower case, found as a browser's prescan
// finds it: in its first 1024 bytes, the label after "charset" or "encoding"
// and '='. Empty when there is none.
std::string DeclaredEncoding(std::string_view bytes)
{
    std::string start(bytes.substr(0, 1024));
    for (char& c : start)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* key : {"encoding", "charset"}) {
        for (std::size_t at = start.find(key); at != std::string::npos; at = start.find(key, at + 1)) {
            std::size_t i = at + std::strlen(key);
            while (i < start.size() && IsSpace(start[i]))
                ++i;
            if (i >= start.size() || start[i] != '=')
                continue;
            ++i;
            while (i < start.size() && (IsSpace(start[i]) || start[i] == '"' || start[i] == '\''))
                ++i;
            std::size_t end = i;
            while (end < start.size() &&
                   (std::isalnum(static_cast<unsigned char>(start[end])) || std::strchr("-_.:", start[end])))
                ++end;
            if (end > i)
                return start.substr(i, end - i);
        }
    }
    return {};
}

void Ignore(void*, const char*, ...) {}

// libxml2 tells of bytes it cannot convert on standard error, whatever the
// options say; the layout's caller learns of them from its result instead.
class QuietParser {
public:
    QuietParser() : m_handler(xmlGenericError), m_context(xmlGenericErrorContext)
    {
        xmlSetGenericErrorFunc(nullptr, Ignore);
    }
    ~QuietParser() { xmlSetGenericErrorFunc(m_context, m_handler); }
    QuietParser(const QuietParser&) = delete;
    QuietParser& operator=(const QuietParser&) = delete;

private:
    xmlGenericErrorFunc m_handler;
    void* m_context;
};

// Parses UTF-8 made here from a document's bytes.
HtmlRead ReadText(const std::string& text, MarkupHandler& handler, std::string& stopped)
{
    ParserInput input(text);
    return ReadHtmlEvents(input, "UTF-8", handler, stopped);
}

// Each document is read in the encoding it declares. One that
// declares none is UTF-8 when it is valid UTF-8, else Windows-1252, as
// browsers read it; Windows-1252 (and a document that says UTF-8 but is
// not) is decoded here, so the bytes libxml2 would stop at are read too.
// While `mayBeUtf8`, UTF-8 is read as it arrives, and NotUtf8 tells when it
// proves not to be; the caller then takes back what it was told and asks
// again without.
HtmlRead ParseHtml(ParserInput& input, bool mayBeUtf8, MarkupHandler& handler, std::string& stopped)
{
    const std::string start = input.Start(1024);
    // UTF-16's byte-order mark libxml2 reads itself; UTF-8's says UTF-8.
    if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF"))
        return ReadHtmlEvents(input, nullptr, handler, stopped);
    const std::string declared = start.starts_with("\xEF\xBB\xBF") ? "utf-8" : DeclaredEncoding(start);
    const bool saysUtf8 = declared.empty() || IsUtf8Label(declared);
    if (saysUtf8 && mayBeUtf8)
        return ReadHtmlEvents(input, "UTF-8", handler, stopped);
    const std::string_view bytes = input.Whole();
    if (saysUtf8 || IsWindows1252Label(declared))
        return ReadText(DecodedText(bytes, IsUtf8Label(declared)), handler, stopped);
    if (const HtmlRead read = ReadHtmlEvents(input, declared.c_str(), handler, stopped); read != HtmlRead::NoDocument)
        return read;
    // A label libxml2 does not know.
    stopped.clear();
    return ReadText(ValidUtf8(bytes) ? std::string(bytes) : DecodedText(bytes, false), handler, stopped);
}

}  // namespace

TextLayout::TextLayout(std::size_t limit) : m_limit(limit) {}

std::string TextLayout::Add(std::string_view bytes, bool xml, const std::string& name)
{
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX))
        return "the document is too large to lay out";
    ParserInput input(bytes);
    return Add(input, xml, name);
}

std::string TextLayout::Add(ParserInput& input, bool xml, const std::string& name)
{
    const QuietParser quiet;
    const Checkpoint start = Here();
    if (xml) {
        std::string problem;
        int code = 0;
        Begin(name, false);
        if (ReadXmlEvents(input, *this, problem, code) && input.Problem().empty())
            return Finish();
        Rewind(start);
        if (!input.Problem().empty())
            return "it cannot be read (" + input.Problem() + ")";
        // An entity loop or an amplification libxml2 refuses is hostile, not
        // a slip of the pen the HTML parser would forgive.
        if (code == XML_ERR_ENTITY_LOOP)
            return "its entities expand without bound (" + problem + ")";
    }
    std::string stopped;
    Begin(name, true);
    HtmlRead read = ParseHtml(input, true, *this, stopped);
    if (read == HtmlRead::NotUtf8) {
        Rewind(start);
        Begin(name, true);
        read = ParseHtml(input, false, *this, stopped);
    }
    if (read == HtmlRead::Read && stopped.empty() && input.Problem().empty())
        return Finish();
    Rewind(start);
    if (!input.Problem().empty())
        return "it cannot be read (" + input.Problem() + ")";
    if (read != HtmlRead::Read)
        return "it cannot be read as HTML";
    // What the parser left out would be missing without a word.
    return "it cannot be read to its end (" + stopped + ")";
}

std::optional<std::size_t> TextLayout::Target(const std::string& key) const
{
    const auto found = m_targets.find(key);
    if (found == m_targets.end())
        return std::nullopt;
    return found->second;
}

void TextLayout::Begin(const std::string& name, bool htmlSyntax)
{
    m_name = name;
    m_roles.clear();
    m_flow.htmlSyntax = htmlSyntax;
    // A cell of a table the document before left open starts no line here.
    m_flow.firstCell = true;
    Break(2);
    m_flow.pendingTargets.push_back(name);
}

std::string TextLayout::Finish()
{
    // Targets after the last text are at the end.
    for (const std::string& target : m_flow.pendingTargets)
        AddTarget(target);
    m_flow.pendingTargets.clear();
    m_newTargets.clear();
    if (m_overLimit)
        return "laid out, its text is larger than the " + std::to_string(m_limit) + " bytes a database can hold";
    return {};
}

TextLayout::Checkpoint TextLayout::Here() const
{
    return {m_flow, m_text.size(), m_headings.size(), m_overLimit};
}

void TextLayout::Rewind(const Checkpoint& checkpoint)
{
    m_flow = checkpoint.flow;
    m_text.resize(checkpoint.text);
    m_headings.erase(m_headings.begin() + static_cast<std::ptrdiff_t>(checkpoint.headings), m_headings.end());
    m_overLimit = checkpoint.overLimit;
    for (const std::string& key : m_newTargets)
        m_targets.erase(key);
    m_newTargets.clear();
    m_roles.clear();
}

// The first place a target is found is where it is.
void TextLayout::AddTarget(const std::string& key)
{
    if (m_targets.emplace(key, m_text.size()).second)
        m_newTargets.push_back(key);
}

bool TextLayout::Hides(std::string_view name) const
{
    return RoleOf(name) == Role::Hidden;
}

// After the text outgrows the limit, nothing more is laid out.
void TextLayout::Open(std::string_view name, const MarkupAttributes& attributes)
{
    if (m_overLimit)
        return;
    m_flow.preStart = false;
    // Old books name their anchors with <a name>.
    if (std::string id = attributes.Value("id"); !id.empty())
        m_flow.pendingTargets.push_back(m_name + '#' + id);
    if (name == "a" || name == "A")
        if (std::string anchor = attributes.Value("name"); !anchor.empty())
            m_flow.pendingTargets.push_back(m_name + '#' + anchor);
    const Role role = RoleOf(name);
    m_roles.push_back(role);
    switch (role) {
    case Role::Block:
    case Role::Paragraph: Break(1); break;
    case Role::Row:
        Break(1);
        m_flow.firstCell = true;
        break;
    case Role::Heading:
        Break(2);
        m_flow.inHeading = true;
        m_flow.headingStart.reset();
        m_flow.headingName.clear();
        break;
    case Role::Preformatted:
        Break(1);
        ++m_flow.preformatted;
        m_flow.preStart = m_flow.htmlSyntax;
        break;
    case Role::ListItem:
        Break(1);
        m_flow.prefix = "- ";
        break;
    case Role::Cell:
        if (!m_flow.firstCell) {
            m_flow.space = false;
            Flush();
            Put("\t");
        }
        m_flow.firstCell = false;
        break;
    case Role::LineBreak:
        m_flow.space = false;
        Flush();
        Put("\n");
        break;
    case Role::Rule:
        // Centred on a line of the 35 or so characters a hand-held shows.
        Break(2);
        Flush();
        Put("               * * *");
        Break(2);
        break;
    case Role::Image:
        if (std::string alt = Collapsed(attributes.Value("alt")); !alt.empty())
            Text('[' + alt + ']');
        break;
    case Role::Inline:
    case Role::Hidden: break;
    }
}

void TextLayout::Close()
{
    if (m_overLimit || m_roles.empty())
        return;
    const Role role = m_roles.back();
    m_roles.pop_back();
    switch (role) {
    case Role::Block:
    case Role::Row: Break(1); break;
    case Role::ListItem:
        // An item without text leaves no line, and its dash to no other text.
        m_flow.prefix.clear();
        Break(1);
        break;
    case Role::Paragraph: Break(2); break;
    case Role::Preformatted:
        --m_flow.preformatted;
        m_flow.preStart = false;
        Break(2);
        break;
    case Role::Heading:
        if (m_flow.headingStart && !Collapsed(m_flow.headingName).empty())
            m_headings.push_back({*m_flow.headingStart, Collapsed(m_flow.headingName)});
        m_flow.inHeading = false;
        m_flow.headingStart.reset();
        Break(2);
        break;
    default: break;
    }
}

void TextLayout::Text(std::string_view text)
{
    if (m_overLimit)
        return;
    // libxml2 can let malformed UTF-8 through (after a NUL byte, say): what
    // is no UTF-8 is read as Windows-1252, so the text stays UTF-8.
    std::string decoded;
    if (!ValidUtf8(text)) {
        decoded = DecodedText(text, true);
        text = decoded;
    }
    if (m_flow.inHeading)
        m_flow.headingName += text;
    if (m_flow.preformatted > 0) {
        // HTML's syntax drops a line break just after <pre>, so that the
        // text can begin on the line below the tag; XML keeps it.
        if (m_flow.preStart) {
            m_flow.preStart = false;
            if (text.starts_with("\r\n"))
                text.remove_prefix(2);
            else if (text.starts_with('\n') || text.starts_with('\r'))
                text.remove_prefix(1);
        }
        if (text.empty())
            return;
        Flush();
        // Line breaks as a browser reads them: CR LF and a lone CR are LF.
        std::size_t from = 0;
        for (std::size_t cr = text.find('\r'); cr != std::string_view::npos; cr = text.find('\r', from)) {
            Put(text.substr(from, cr - from));
            Put("\n");
            from = cr + 1 < text.size() && text[cr + 1] == '\n' ? cr + 2 : cr + 1;
        }
        Put(text.substr(from));
        return;
    }
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        if (IsSpace(text[i])) {
            m_flow.space = true;
            ++i;
            continue;
        }
        // Words parted by single spaces need no collapsing: they go out as
        // one piece, which spares a book most of the work per word.
        const std::size_t end = WordsEnd(text, i);
        Flush();
        Put(text.substr(i, end - i));
        i = end;
    }
}

// Writes what waits for the text: line breaks, a space, a list item's
// prefix, and the targets and heading that begin here.
void TextLayout::Flush()
{
    if (m_flow.breaks > 0 && !m_text.empty()) {
        // Breaks written already count: a <br> before a paragraph's end
        // leaves no second empty line.
        int present = 0;
        for (auto it = m_text.rbegin(); it != m_text.rend() && *it == '\n' && present < m_flow.breaks; ++it)
            ++present;
        m_text.append(static_cast<std::size_t>(m_flow.breaks - present), '\n');
        m_flow.space = false;
    }
    // A cell's text starts without the white space before it, as a line's does.
    const bool lineStart = m_text.empty() || m_text.back() == '\n' || m_text.back() == '\t';
    if (m_flow.space && !lineStart)
        Put(" ");
    m_flow.breaks = 0;
    m_flow.space = false;
    for (const std::string& target : m_flow.pendingTargets)
        AddTarget(target);
    m_flow.pendingTargets.clear();
    if (m_flow.inHeading && !m_flow.headingStart)
        m_flow.headingStart = m_text.size();
    if (!m_flow.prefix.empty()) {
        const std::string prefix = std::move(m_flow.prefix);
        m_flow.prefix.clear();
        Put(prefix);
    }
}

void TextLayout::Put(std::string_view bytes)
{
    if (m_text.size() + bytes.size() > m_limit) {
        m_overLimit = true;
        return;
    }
    m_text += bytes;
}

void TextLayout::Break(int lines)
{
    m_flow.breaks = std::max(m_flow.breaks, lines);
}

}  // namespace documents
