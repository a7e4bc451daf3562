#include "HtmlLayout.h"

#include "XmlTree.h"

#include <framework/Windows1252.h>

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>

namespace documents {

namespace {

enum class Role {
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

struct ElementRole {
    const char* name;
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

Role RoleOf(const _xmlNode* element)
{
    // XHTML's names are lower case already; the HTML parser folds them.
    const char* name = reinterpret_cast<const char*>(element->name);
    const auto* end = std::end(kRoles);
    const auto* found = std::lower_bound(
        std::begin(kRoles), end, name, [](const ElementRole& r, const char* n) { return std::strcmp(r.name, n) < 0; });
    return found != end && std::strcmp(found->name, name) == 0 ? found->role : Role::Inline;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The length of the well-formed UTF-8 sequence at `p`, or 0 for a stray
// continuation byte, an overlong form, a surrogate or a value past U+10FFFF.
int Utf8Length(const unsigned char* p, const unsigned char* end)
{
    const unsigned char b = *p;
    if (b < 0x80)
        return 1;
    const int length = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (length == 0 || end - p < length)
        return 0;
    for (int k = 1; k < length; ++k)
        if ((p[k] & 0xC0) != 0x80)
            return 0;
    if ((b == 0xE0 && p[1] < 0xA0) || (b == 0xED && p[1] > 0x9F) || (b == 0xF0 && p[1] < 0x90) ||
        (b == 0xF4 && p[1] > 0x8F))
        return 0;
    return length;
}

const unsigned char* Bytes(std::string_view text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

bool ValidUtf8(std::string_view bytes)
{
    const auto* end = Bytes(bytes) + bytes.size();
    for (const auto* p = Bytes(bytes); p < end;) {
        // Eight bytes at a time while they are ASCII, as most of a book is.
        std::uint64_t eight;
        if (end - p >= 8 && (std::memcpy(&eight, p, 8), (eight & 0x8080808080808080u) == 0)) {
            p += 8;
            continue;
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int length = Utf8Length(p, end);
        if (length == 0)
            return false;
        p += length;
    }
    return true;
}

constexpr int kHtmlOptions = HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER;

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

struct ContextFree {
    void operator()(htmlParserCtxt* context) const { htmlFreeParserCtxt(context); }
};

// Parses with the encoding given (null: as declared); `stopped` tells why the
// parser gave up before the end (elements nested too deep, bytes the
// declared encoding has no characters for), if it did.
DocPtr ReadHtml(std::string_view bytes, const char* encoding, std::string& stopped)
{
    InitializeLibxml();
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX))
        return nullptr;
    std::unique_ptr<htmlParserCtxt, ContextFree> context(htmlNewParserCtxt());
    if (!context)
        return nullptr;
    xmlResetLastError();
    // An encoding chosen here holds: a <meta> further on must not switch it.
    const int options = encoding ? kHtmlOptions | HTML_PARSE_IGNORE_ENC : kHtmlOptions;
    DocPtr doc(
        htmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr, encoding, options));
    const xmlError* error = xmlGetLastError();
    if (context->lastError.code == XML_ERR_INTERNAL_ERROR && context->lastError.message)
        stopped = Collapsed(context->lastError.message);
    else if (error &&
             (error->domain == XML_FROM_I18N || (error->domain == XML_FROM_IO && error->code == XML_IO_ENCODER)))
        stopped = "some of its bytes are not in the encoding it declares";
    return doc;
}

// Each document is parsed once, in the encoding it declares. One that
// declares none is UTF-8 when it is valid UTF-8, else Windows-1252, as
// browsers read it; Windows-1252 (and a document that says UTF-8 but is
// not) is decoded here, so the bytes libxml2 would stop at are read too.
DocPtr ParseHtml(std::string_view bytes, std::string& stopped)
{
    // UTF-16's byte-order mark libxml2 reads itself; UTF-8's says UTF-8.
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return ReadHtml(bytes, nullptr, stopped);
    const std::string declared = bytes.starts_with("\xEF\xBB\xBF") ? "utf-8" : DeclaredEncoding(bytes);
    const bool utf8 = ValidUtf8(bytes);
    if (utf8 && (declared.empty() || IsUtf8Label(declared)))
        return ReadHtml(bytes, "UTF-8", stopped);
    if (declared.empty() || IsUtf8Label(declared) || IsWindows1252Label(declared))
        return ReadHtml(DecodedText(bytes, IsUtf8Label(declared)), "UTF-8", stopped);
    if (DocPtr doc = ReadHtml(bytes, declared.c_str(), stopped))
        return doc;
    // A label libxml2 does not know.
    stopped.clear();
    return ReadHtml(utf8 ? std::string(bytes) : DecodedText(bytes, false), "UTF-8", stopped);
}

}  // namespace

TextLayout::TextLayout(std::size_t limit) : m_limit(limit) {}

std::string TextLayout::Add(std::string_view bytes, bool xml, const std::string& name)
{
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX))
        return "the document is too large to lay out";
    const QuietParser quiet;
    DocPtr doc;
    if (xml) {
        std::string problem;
        int code = 0;
        doc = ReadXml(bytes, &problem, &code);
        // An entity loop or an amplification libxml2 refuses is hostile, not
        // a slip of the pen the HTML parser would forgive.
        if (!doc && code == XML_ERR_ENTITY_LOOP)
            return "its entities expand without bound (" + problem + ")";
    }
    std::string stopped;
    if (!doc)
        doc = ParseHtml(bytes, stopped);
    if (!doc)
        return "it cannot be read as HTML";
    // What the parser left out would be missing without a word.
    if (!stopped.empty())
        return "it cannot be read to its end (" + stopped + ")";
    m_htmlSyntax = doc->type == XML_HTML_DOCUMENT_NODE;
    // A cell of a table the document before left open starts no line here.
    m_firstCell = true;
    Break(2);
    m_pendingTargets.push_back(name);
    if (_xmlNode* root = xmlDocGetRootElement(doc.get()))
        Walk(root, name);
    // Targets after the last text are at the end.
    for (const std::string& target : m_pendingTargets)
        m_targets.emplace(target, m_text.size());
    m_pendingTargets.clear();
    if (m_overLimit)
        return "laid out, its text is larger than the " + std::to_string(m_limit) + " bytes a database can hold";
    return {};
}

std::optional<std::size_t> TextLayout::Target(const std::string& key) const
{
    const auto found = m_targets.find(key);
    if (found == m_targets.end())
        return std::nullopt;
    return found->second;
}

// Depth first without recursion: the parsers let trees grow deep.
void TextLayout::Walk(_xmlNode* root, const std::string& name)
{
    _xmlNode* node = root;
    while (node && !m_overLimit) {
        bool descend = false;
        switch (node->type) {
        case XML_ELEMENT_NODE:
            if (RoleOf(node) != Role::Hidden) {
                Open(node, name);
                descend = true;
            }
            break;
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (node->content)
                AddText(reinterpret_cast<const char*>(node->content));
            break;
        case XML_ENTITY_REF_NODE:
            if (xmlChar* content = xmlNodeGetContent(node)) {
                AddText(reinterpret_cast<const char*>(content));
                xmlFree(content);
            }
            break;
        default: break;
        }
        if (descend && node->children) {
            node = node->children;
            continue;
        }
        if (descend)
            Close(node);
        while (node != root && !node->next) {
            node = node->parent;
            Close(node);
        }
        if (node == root)
            break;
        node = node->next;
    }
}

void TextLayout::Open(_xmlNode* element, const std::string& name)
{
    m_preStart = false;
    // Old books name their anchors with <a name>.
    if (std::string id = Attribute(element, "id"); !id.empty())
        m_pendingTargets.push_back(name + '#' + id);
    if (xmlStrcasecmp(element->name, BAD_CAST "a") == 0)
        if (std::string anchor = Attribute(element, "name"); !anchor.empty())
            m_pendingTargets.push_back(name + '#' + anchor);
    switch (RoleOf(element)) {
    case Role::Block:
    case Role::Paragraph: Break(1); break;
    case Role::Row:
        Break(1);
        m_firstCell = true;
        break;
    case Role::Heading:
        Break(2);
        m_inHeading = true;
        m_headingStart.reset();
        m_headingName.clear();
        break;
    case Role::Preformatted:
        Break(1);
        ++m_preformatted;
        m_preStart = m_htmlSyntax;
        break;
    case Role::ListItem:
        Break(1);
        m_prefix = "- ";
        break;
    case Role::Cell:
        if (!m_firstCell) {
            m_space = false;
            Flush();
            Put("\t");
        }
        m_firstCell = false;
        break;
    case Role::LineBreak:
        m_space = false;
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
        if (std::string alt = Collapsed(Attribute(element, "alt")); !alt.empty())
            AddText('[' + alt + ']');
        break;
    case Role::Inline:
    case Role::Hidden: break;
    }
}

void TextLayout::Close(_xmlNode* element)
{
    switch (RoleOf(element)) {
    case Role::Block:
    case Role::Row: Break(1); break;
    case Role::ListItem:
        // An item without text leaves no line, and its dash to no other text.
        m_prefix.clear();
        Break(1);
        break;
    case Role::Paragraph: Break(2); break;
    case Role::Preformatted:
        --m_preformatted;
        m_preStart = false;
        Break(2);
        break;
    case Role::Heading:
        if (m_headingStart && !Collapsed(m_headingName).empty())
            m_headings.push_back({*m_headingStart, Collapsed(m_headingName)});
        m_inHeading = false;
        m_headingStart.reset();
        Break(2);
        break;
    default: break;
    }
}

void TextLayout::AddText(std::string_view text)
{
    // libxml2 can let malformed UTF-8 through (after a NUL byte, say): what
    // is no UTF-8 is read as Windows-1252, so the text stays UTF-8.
    std::string decoded;
    if (!ValidUtf8(text)) {
        decoded = DecodedText(text, true);
        text = decoded;
    }
    if (m_inHeading)
        m_headingName += text;
    if (m_preformatted > 0) {
        // HTML's syntax drops a line break just after <pre>, so that the
        // text can begin on the line below the tag; XML keeps it.
        if (m_preStart) {
            m_preStart = false;
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
            m_space = true;
            ++i;
            continue;
        }
        // Words parted by single spaces need no collapsing: they go out as
        // one piece, which spares a book most of the work per word.
        std::size_t end = i;
        while (end < size && (!IsSpace(text[end]) || (text[end] == ' ' && end + 1 < size && !IsSpace(text[end + 1]))))
            ++end;
        Flush();
        Put(text.substr(i, end - i));
        i = end;
    }
}

// Writes what waits for the text: line breaks, a space, a list item's
// prefix, and the targets and heading that begin here.
void TextLayout::Flush()
{
    if (m_breaks > 0 && !m_text.empty()) {
        // Breaks written already count: a <br> before a paragraph's end
        // leaves no second empty line.
        int present = 0;
        for (auto it = m_text.rbegin(); it != m_text.rend() && *it == '\n' && present < m_breaks; ++it)
            ++present;
        m_text.append(static_cast<std::size_t>(m_breaks - present), '\n');
        m_space = false;
    }
    // A cell's text starts without the white space before it, as a line's does.
    const bool lineStart = m_text.empty() || m_text.back() == '\n' || m_text.back() == '\t';
    if (m_space && !lineStart)
        Put(" ");
    m_breaks = 0;
    m_space = false;
    for (const std::string& target : m_pendingTargets)
        m_targets.emplace(target, m_text.size());
    m_pendingTargets.clear();
    if (m_inHeading && !m_headingStart)
        m_headingStart = m_text.size();
    if (!m_prefix.empty()) {
        const std::string prefix = std::move(m_prefix);
        m_prefix.clear();
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
    m_breaks = std::max(m_breaks, lines);
}

}  // namespace documents
