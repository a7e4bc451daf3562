#include "MarkupEvents.h"

#include "ParserInput.h"
#include "Utf8Text.h"
#include "XmlTree.h"

#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace documents {

namespace {

struct ContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
using ContextPtr = std::unique_ptr<xmlParserCtxt, ContextFree>;

std::string_view View(const xmlChar* text)
{
    return reinterpret_cast<const char*>(text);
}

// An attribute value the parser copied (it ends in NUL, not in its quote)
// may hold entity references; the tree holds it as a list of text and
// references, and building that list may build an entity's content.
xmlNode* ValueNodes(xmlParserCtxt* context, const xmlChar* value, const xmlChar* end)
{
    return xmlStringLenGetNodeList(context->myDoc, value, static_cast<int>(end - value));
}

bool IsAsciiLetter(unsigned char c)
{
    return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}

bool IsAsciiAlnum(unsigned char c)
{
    return IsAsciiLetter(c) || (c >= '0' && c <= '9');
}

// libxml2's HTML parser looks a named reference up by comparing it with each
// of the 253 names it knows in turn: the 27,000 quotes and dashes of a long
// book spent a fifth of its layout there. A numeric reference it reads at
// once, and gives the same character, in text and in attribute values
// alike. So each "&name;" it would find (ASCII letters and digits, as all
// its names are, then ';') is handed over as "&#N;", each name looked up
// once; unknown names stay as they are. The bytes must be in an encoding
// ASCII's bytes mean the same in: UTF-8 here.
class NumericReferences {
public:
    // Appends `bytes` to `out`, rewritten; returns how much of them went.
    // Unless `last`, a reference the end may cut short waits for the bytes
    // after it.
    std::size_t Append(std::string_view bytes, bool last, std::string& out)
    {
        std::size_t copied = 0;
        for (std::size_t at = bytes.find('&'); at != std::string_view::npos; at = bytes.find('&', at + 1)) {
            std::size_t end = at + 1;
            while (end < bytes.size() && end - at <= kLongestName &&
                   IsAsciiAlnum(static_cast<unsigned char>(bytes[end])))
                ++end;
            if (end == bytes.size() && end - at <= kLongestName && !last) {
                out.append(bytes.substr(copied, at - copied));
                return at;
            }
            if (end == bytes.size() || bytes[end] != ';' || end == at + 1 ||
                !IsAsciiLetter(static_cast<unsigned char>(bytes[at + 1])))
                continue;
            const unsigned value = Value(bytes.substr(at + 1, end - at - 1));
            if (value == 0)
                continue;
            out.append(bytes.substr(copied, at - copied)).append("&#").append(std::to_string(value)) += ';';
            copied = end + 1;
        }
        out.append(bytes.substr(copied));
        return bytes.size();
    }

private:
    // Longer than any name libxml2 knows ("thetasym").
    static constexpr std::size_t kLongestName = 16;

    // The character the name stands for, or 0 when libxml2 knows no such name.
    unsigned Value(std::string_view name)
    {
        auto [entry, added] = m_known.try_emplace(std::string(name), 0);
        if (added) {
            const htmlEntityDesc* entity = htmlEntityLookup(BAD_CAST entry->first.c_str());
            entry->second = entity ? entity->value : 0;
        }
        return entry->second;
    }

    std::unordered_map<std::string, unsigned> m_known;
};

// Hands a ParserInput to libxml2 as its read callback asks. Each read is
// filled whole unless the bytes end, as a file's read is: the XML reader
// takes the encoding from the first bytes of its first read. With `utf8`,
// bytes go only as far as they are UTF-8, and with numeric references.
class InputReader {
public:
    InputReader(ParserInput& input, bool utf8) : m_input(input), m_utf8(utf8) {}
    InputReader(const InputReader&) = delete;
    InputReader& operator=(const InputReader&) = delete;

    static int Read(void* context, char* buffer, int length)
    {
        return static_cast<InputReader*>(context)->Fill(buffer, static_cast<std::size_t>(length));
    }
    // The bytes stopped being UTF-8, so the parser was told they end there.
    bool NotUtf8() const { return m_notUtf8; }

private:
    // Enough to keep what waits here small.
    static constexpr std::size_t kPiece = 64 * 1024;

    int Fill(char* buffer, std::size_t length)
    {
        if (m_ready.size() - m_readyAt < length) {
            // What was handed over goes before more comes, so that no more
            // than a piece and a read wait here.
            m_ready.erase(0, m_readyAt);
            m_readyAt = 0;
            while (m_ready.size() < length && More()) {
            }
        }
        const std::size_t count = std::min(length, m_ready.size() - m_readyAt);
        if (count == 0)
            return m_notUtf8 || !m_input.Problem().empty() ? -1 : 0;
        std::memcpy(buffer, m_ready.data() + m_readyAt, count);
        m_readyAt += count;
        return static_cast<int>(count);
    }

    // Takes the next piece of the input into m_ready; false when no more will come.
    bool More()
    {
        if (m_end)
            return false;
        m_input.Read(m_from, m_seen, [&](std::string_view bytes, bool finished) {
            const std::string_view piece = bytes.substr(0, kPiece);
            const bool last = finished && piece.size() == bytes.size();
            m_seen = m_from + piece.size();
            std::size_t used = piece.size();
            if (m_utf8) {
                used = Utf8Prefix(piece, last, m_notUtf8);
                used = m_references.Append(piece.substr(0, used), last && used == piece.size(), m_ready);
            } else {
                m_ready.append(piece);
            }
            m_from += used;
            m_end = m_notUtf8 || (last && m_from == m_seen);
        });
        return true;
    }

    ParserInput& m_input;
    bool m_utf8;
    std::size_t m_from = 0;  // the input's bytes taken into m_ready
    std::size_t m_seen = 0;  // the input's bytes the last piece ended at
    bool m_end = false;
    bool m_notUtf8 = false;
    std::string m_ready;  // for the parser, from m_readyAt on
    std::size_t m_readyAt = 0;
    NumericReferences m_references;
};

}  // namespace

std::string MarkupAttributes::Value(const char* name) const
{
    for (const xmlChar** pair = m_pairs; pair && pair[0]; pair += 2)
        if (xmlStrcmp(pair[0], BAD_CAST name) == 0)
            return pair[1] ? reinterpret_cast<const char*>(pair[1]) : "";
    for (int i = 0; i < m_xmlCount; ++i) {
        const xmlChar** attribute = m_xml + 5 * i;
        // A prefix no namespace is declared for stays part of the name.
        if ((attribute[1] && !attribute[2]) || xmlStrcmp(attribute[0], BAD_CAST name) != 0)
            continue;
        if (*attribute[4] != 0)
            return std::string(reinterpret_cast<const char*>(attribute[3]),
                               static_cast<std::size_t>(attribute[4] - attribute[3]));
        xmlNode* nodes = ValueNodes(m_context, attribute[3], attribute[4]);
        xmlChar* value = xmlNodeListGetString(m_context->myDoc, nodes, 1);
        std::string text = value ? reinterpret_cast<const char*>(value) : "";
        xmlFree(value);
        xmlFreeNodeList(nodes);
        return text;
    }
    return {};
}

// Stands in for libxml2's tree builder (SAX2.c): what it would have built,
// the walk from the root is told instead. Entities' content, which libxml2
// parses in contexts of their own, is still built as a tree, so that a
// reference gives the text it gives in a tree.
class MarkupEvents {
public:
    MarkupEvents(xmlParserCtxt* context, MarkupHandler& handler, bool html)
        : m_context(context), m_handler(handler), m_html(html)
    {
        context->_private = this;
        xmlSAXHandler& sax = *context->sax;
        sax.characters = Characters;
        sax.cdataBlock = CData;
        sax.comment = Comment;
        sax.processingInstruction = Instruction;
        if (html) {
            sax.startElement = StartHtml;
            sax.endElement = EndHtml;
            sax.internalSubset = Doctype;
        } else {
            sax.startElementNs = StartXml;
            sax.endElementNs = EndXml;
            sax.ignorableWhitespace = Characters;
            sax.reference = Reference;
        }
    }
    MarkupEvents(const MarkupEvents&) = delete;
    MarkupEvents& operator=(const MarkupEvents&) = delete;

    // What the tree holds at the end: the last text, and the elements still open.
    void Finish()
    {
        FlushText();
        while (m_open > 0)
            End();
    }
    bool TooDeep() const { return m_tooDeep; }

private:
    enum class TextKind { None, Text, CData };

    static MarkupEvents& Of(void* ctx)
    {
        return *static_cast<MarkupEvents*>(static_cast<xmlParserCtxt*>(ctx)->_private);
    }
    // Whether the callback is for the document itself, not an entity's
    // content, and the tree builder would take it.
    bool Outer(void* ctx) const { return ctx == m_context && m_context->myDoc && !m_tooDeep; }

    static void StartHtml(void* ctx, const xmlChar* name, const xmlChar** pairs)
    {
        MarkupEvents& self = Of(ctx);
        if (!self.Outer(ctx)) {
            if (ctx != self.m_context)
                xmlSAX2StartElement(ctx, name, pairs);
            return;
        }
        // The tree drops a prefix from an element's name (o:p is a p).
        xmlChar* prefix = nullptr;
        xmlChar* local = std::strchr(reinterpret_cast<const char*>(name), ':')
                             ? xmlSplitQName(self.m_context, name, &prefix)
                             : nullptr;
        // The tree refuses to grow deeper, and the parse stops.
        if (static_cast<unsigned>(self.m_open) > xmlParserMaxDepth) {
            self.m_tooDeep = true;
            xmlStopParser(self.m_context);
        } else {
            MarkupAttributes attributes;
            attributes.m_pairs = pairs;
            self.Start(View(local ? local : name), attributes);
        }
        xmlFree(local);
        xmlFree(prefix);
    }

    static void EndHtml(void* ctx, const xmlChar* name)
    {
        MarkupEvents& self = Of(ctx);
        if (self.Outer(ctx))
            self.End();
        else if (ctx != self.m_context)
            xmlSAX2EndElement(ctx, name);
    }

    static void StartXml(void* ctx, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                         int namespaceCount, const xmlChar** namespaces, int count, int defaulted,
                         const xmlChar** attributes)
    {
        MarkupEvents& self = Of(ctx);
        if (ctx != self.m_context) {
            xmlSAX2StartElementNs(ctx, localName, prefix, uri, namespaceCount, namespaces, count, defaulted,
                                  attributes);
            return;
        }
        if (!self.Outer(ctx))
            return;
        // The DTD's defaults are not in the tree.
        if ((self.m_context->loadsubset & XML_COMPLETE_ATTRS) == 0)
            count -= defaulted;
        for (int i = 0; i < count; ++i)
            if (*attributes[5 * i + 4] == 0)
                xmlFreeNodeList(ValueNodes(self.m_context, attributes[5 * i + 3], attributes[5 * i + 4]));
        MarkupAttributes list;
        list.m_context = self.m_context;
        list.m_xml = attributes;
        list.m_xmlCount = count;
        // A prefix no namespace is declared for stays part of the name.
        if (prefix && !uri)
            self.Start(std::string(View(prefix)) + ':' + std::string(View(localName)), list);
        else
            self.Start(View(localName), list);
    }

    static void EndXml(void* ctx, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri)
    {
        MarkupEvents& self = Of(ctx);
        if (self.Outer(ctx))
            self.End();
        else if (ctx != self.m_context)
            xmlSAX2EndElementNs(ctx, localName, prefix, uri);
    }

    static void Characters(void* ctx, const xmlChar* text, int length)
    {
        MarkupEvents& self = Of(ctx);
        if (self.Outer(ctx))
            self.AddText(text, length, TextKind::Text);
        else if (ctx != self.m_context)
            xmlSAX2Characters(ctx, text, length);
    }

    static void CData(void* ctx, const xmlChar* text, int length)
    {
        MarkupEvents& self = Of(ctx);
        if (self.Outer(ctx))
            self.AddText(text, length, TextKind::CData);
        else if (ctx != self.m_context)
            xmlSAX2CDataBlock(ctx, text, length);
    }

    static void Comment(void* ctx, const xmlChar* value)
    {
        MarkupEvents& self = Of(ctx);
        if (self.Outer(ctx))
            self.OtherNode();
        else if (ctx != self.m_context)
            xmlSAX2Comment(ctx, value);
    }

    static void Instruction(void* ctx, const xmlChar* target, const xmlChar* data)
    {
        MarkupEvents& self = Of(ctx);
        if (self.Outer(ctx))
            self.OtherNode();
        else if (ctx != self.m_context)
            xmlSAX2ProcessingInstruction(ctx, target, data);
    }

    // HTML's <!DOCTYPE>: the tree puts it before everything else.
    static void Doctype(void* ctx, const xmlChar* name, const xmlChar* externalId, const xmlChar* systemId)
    {
        xmlSAX2InternalSubset(ctx, name, externalId, systemId);
        MarkupEvents& self = Of(ctx);
        if (self.Outer(ctx)) {
            self.m_documentHasChildren = true;
            self.m_firstChildIsElement = false;
        }
    }

    // An entity reference in XML gives the text of the entity's content.
    static void Reference(void* ctx, const xmlChar* name)
    {
        MarkupEvents& self = Of(ctx);
        if (ctx != self.m_context) {
            xmlSAX2Reference(ctx, name);
            return;
        }
        if (!self.Outer(ctx))
            return;
        self.FlushText();
        if (self.m_open == 0 || self.m_skipFrom > 0)
            return;
        xmlNode* reference = xmlNewReference(self.m_context->myDoc, name);
        if (!reference)
            return;
        if (xmlChar* content = xmlNodeGetContent(reference)) {
            self.m_handler.Text(View(content));
            xmlFree(content);
        }
        xmlFreeNode(reference);
    }

    void Start(std::string_view name, const MarkupAttributes& attributes)
    {
        FlushText();
        const bool topLevel = m_open == 0;
        ++m_open;
        if (m_skipFrom > 0)
            return;
        bool walked = true;
        // An HTML parser's second <html> (after the first one closed) joins
        // the root when the root came first, else follows it outside.
        if (topLevel && m_html) {
            if (!m_documentHasChildren)
                m_firstChildIsElement = true;
            else if (!m_firstChildIsElement)
                walked = !m_rootSeen;
            m_documentHasChildren = true;
            m_rootSeen = true;
        }
        if (!walked || m_handler.Hides(name)) {
            m_skipFrom = m_open;
            return;
        }
        m_handler.Open(name, attributes);
    }

    void End()
    {
        FlushText();
        if (m_open == 0)
            return;
        if (m_skipFrom > 0) {
            if (m_open == m_skipFrom)
                m_skipFrom = 0;
            --m_open;
            return;
        }
        --m_open;
        m_handler.Close();
    }

    // A comment or a processing instruction: a node that parts text nodes.
    void OtherNode()
    {
        FlushText();
        if (m_open == 0 && m_context->inSubset == 0 && !m_documentHasChildren) {
            m_documentHasChildren = true;
            m_firstChildIsElement = false;
        }
    }

    // The tree joins text given piece by piece into one node, CDATA
    // sections likewise.
    void AddText(const xmlChar* text, int length, TextKind kind)
    {
        if (m_open == 0 || m_skipFrom > 0)
            return;
        if (kind != m_textKind)
            FlushText();
        m_textKind = kind;
        m_text.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
    }

    void FlushText()
    {
        if (m_textKind == TextKind::None)
            return;
        m_handler.Text(m_text);
        m_text.clear();
        m_textKind = TextKind::None;
    }

    xmlParserCtxt* m_context;
    MarkupHandler& m_handler;
    bool m_html;
    bool m_tooDeep = false;
    int m_open = 0;      // elements open in the tree
    int m_skipFrom = 0;  // the depth of the element whose content is not told, or 0
    // The document's own children: what came first, and whether an element
    // (the root) has come yet.
    bool m_documentHasChildren = false;
    bool m_firstChildIsElement = false;
    bool m_rootSeen = false;
    std::string m_text;
    TextKind m_textKind = TextKind::None;
};

HtmlRead ReadHtmlEvents(ParserInput& input, const char* encoding, MarkupHandler& handler, std::string& stopped)
{
    InitializeLibxml();
    ContextPtr context(htmlNewParserCtxt());
    if (!context)
        return HtmlRead::NoDocument;
    MarkupEvents events(context.get(), handler, true);
    xmlResetLastError();
    int options = HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_RECOVER;
    if (encoding)
        options |= HTML_PARSE_IGNORE_ENC;
    InputReader reader(input, encoding && std::strcmp(encoding, "UTF-8") == 0);
    const DocPtr doc(htmlCtxtReadIO(context.get(), InputReader::Read, nullptr, &reader, nullptr, encoding, options));
    if (reader.NotUtf8())
        return HtmlRead::NotUtf8;
    if (!doc)
        return HtmlRead::NoDocument;
    events.Finish();
    const xmlError* error = xmlGetLastError();
    if (events.TooDeep())
        stopped = "Excessive depth in document: " + std::to_string(xmlParserMaxDepth) + " use XML_PARSE_HUGE option";
    else if (context->lastError.code == XML_ERR_INTERNAL_ERROR && context->lastError.message)
        stopped = Collapsed(context->lastError.message);
    else if (error &&
             (error->domain == XML_FROM_I18N || (error->domain == XML_FROM_IO && error->code == XML_IO_ENCODER)))
        stopped = "some of its bytes are not in the encoding it declares";
    return HtmlRead::Read;
}

bool ReadXmlEvents(ParserInput& input, MarkupHandler& handler, std::string& problem, int& code)
{
    InitializeLibxml();
    xmlResetLastError();
    InputReader reader(input, false);
    ContextPtr context(
        xmlCreateIOParserCtxt(nullptr, nullptr, InputReader::Read, nullptr, &reader, XML_CHAR_ENCODING_NONE));
    if (context) {
        MarkupEvents events(context.get(), handler, false);
        xmlCtxtUseOptions(context.get(), kXmlOptions);
        xmlParseDocument(context.get());
        const DocPtr doc(context->myDoc);
        context->myDoc = nullptr;
        if (doc && context->wellFormed) {
            events.Finish();
            return true;
        }
    }
    LastXmlError(problem, code);
    return false;
}

}  // namespace documents
