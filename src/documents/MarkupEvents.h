// A document read with libxml2 as the walk over its tree would see it, told
// as it is parsed instead of after a tree is built: the elements of its root
// in document order, each with its attributes, and its text nodes, each in
// one piece as the tree would have merged it.
#pragma once

#include <string>
#include <string_view>

struct _xmlParserCtxt;

namespace documents {

class ParserInput;

// The attributes of the element being opened, valid during MarkupHandler::Open.
class MarkupAttributes {
public:
    // The value of the first attribute named `name` (without its namespace
    // prefix in XML), entities expanded; empty when it has none.
    std::string Value(const char* name) const;

private:
    friend class MarkupEvents;
    _xmlParserCtxt* m_context = nullptr;
    const unsigned char** m_pairs = nullptr;  // HTML: name, value (or null), ..., null
    const unsigned char** m_xml = nullptr;    // XML: localname, prefix, URI, value, end, ...
    int m_xmlCount = 0;
};

// What a document is told to. The elements Hides names are not opened, and
// nothing inside them is told.
class MarkupHandler {
public:
    virtual bool Hides(std::string_view name) const = 0;
    virtual void Open(std::string_view name, const MarkupAttributes& attributes) = 0;
    // Closes the element opened last and not closed yet.
    virtual void Close() = 0;
    virtual void Text(std::string_view text) = 0;

protected:
    ~MarkupHandler() = default;
};

enum class HtmlRead {
    Read,
    NoDocument,  // libxml2 made no document of the bytes
    NotUtf8,     // they were read as UTF-8 and are not: part may have been told
};

// Parses `input` as HTML without network access, in `encoding` (null: as
// the document declares; one given holds whatever a <meta> says), and tells
// `handler`. `stopped` tells why the parser gave up before the end
// (elements nested too deep, bytes the encoding has no characters for), if
// it did.
HtmlRead ReadHtmlEvents(ParserInput& input, const char* encoding, MarkupHandler& handler, std::string& stopped);

// Parses `input` as XML with ReadXml's options and bounds and tells
// `handler`. False when it is not well-formed, with the parser's reason in
// `problem` and its error code in `code`; part of the document may have been
// told by then.
bool ReadXmlEvents(ParserInput& input, MarkupHandler& handler, std::string& problem, int& code);

}  // namespace documents
