// The few things the documents layer does with libxml2 trees, in one place,
// with the parser options that keep untrusted XML in bounds.
#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace documents {

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

// Sets libxml2 up once for every thread of the process; parsers on several
// threads at once (the command line's --jobs) need that done first.
void InitializeLibxml();

// libxml2's options for XML we are handed: no network access, no error
// reports of its own, and what it leaves out by default (external entities
// and DTDs are not loaded, entities are not substituted) left out.
inline constexpr int kXmlOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// Parses `bytes` as XML without network access, external entities or DTDs,
// and with libxml2's bounds on entity expansion; null when it is not
// well-formed, with the parser's reason in `*problem` and its error code in
// `*code` when given.
DocPtr ReadXml(std::string_view bytes, std::string* problem = nullptr, int* code = nullptr);
// Why the last parse on this thread failed: libxml2's message, collapsed,
// and its error code (0 when it has none).
void LastXmlError(std::string& problem, int& code);

// The element's name without its namespace prefix ("title" for dc:title).
std::string_view LocalName(const xmlNode* element);
// The attribute's value, whatever its namespace; empty when it is missing.
std::string Attribute(const xmlNode* element, const char* name);
// The text the element holds, its white space runs collapsed to one space.
std::string TextOf(const xmlNode* element);
// One run of white space for each, none at either end.
std::string Collapsed(std::string_view text);

// Calls `visit` for every element under `root` (itself included) in document
// order, without recursion; `visit` returns false to skip an element's
// children.
void ForEachElement(xmlNode* root, const std::function<bool(xmlNode*)>& visit);

}  // namespace documents
