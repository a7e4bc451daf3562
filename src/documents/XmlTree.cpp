#include "XmlTree.h"

#include <libxml/parser.h>

#include <mutex>

namespace documents {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

}  // namespace

void InitializeLibxml()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

DocPtr ReadXml(std::string_view bytes, std::string* problem, int* code)
{
    InitializeLibxml();
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
        if (problem)
            *problem = "too large";
        return nullptr;
    }
    xmlResetLastError();
    DocPtr doc(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, kXmlOptions));
    if (!doc) {
        std::string why;
        int error = 0;
        LastXmlError(why, error);
        if (problem)
            *problem = std::move(why);
        if (code)
            *code = error;
    }
    return doc;
}

void LastXmlError(std::string& problem, int& code)
{
    const xmlError* error = xmlGetLastError();
    problem = error && error->message ? Collapsed(error->message) : "not well-formed XML";
    code = error ? error->code : 0;
}

std::string_view LocalName(const xmlNode* element)
{
    return element && element->name ? reinterpret_cast<const char*>(element->name) : "";
}

std::string Attribute(const xmlNode* element, const char* name)
{
    for (const xmlAttr* attribute = element->properties; attribute; attribute = attribute->next) {
        if (xmlStrcmp(attribute->name, BAD_CAST name) != 0)
            continue;
        xmlChar* value = xmlNodeListGetString(element->doc, attribute->children, 1);
        std::string text = value ? reinterpret_cast<const char*>(value) : "";
        xmlFree(value);
        return text;
    }
    return {};
}

std::string TextOf(const xmlNode* element)
{
    xmlChar* content = xmlNodeGetContent(element);
    std::string text = content ? Collapsed(reinterpret_cast<const char*>(content)) : "";
    xmlFree(content);
    return text;
}

std::string Collapsed(std::string_view text)
{
    std::string out;
    bool space = false;
    for (const char c : text) {
        if (IsSpace(c)) {
            space = !out.empty();
            continue;
        }
        if (space)
            out += ' ';
        space = false;
        out += c;
    }
    return out;
}

void ForEachElement(xmlNode* root, const std::function<bool(xmlNode*)>& visit)
{
    xmlNode* node = root;
    while (node) {
        const bool descend = node->type == XML_ELEMENT_NODE && visit(node);
        if (descend && node->children) {
            node = node->children;
            continue;
        }
        while (node != root && !node->next)
            node = node->parent;
        if (node == root)
            break;
        node = node->next;
    }
}

}  // namespace documents
