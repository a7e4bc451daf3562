// HTML laid out as plain text, the way a reader shows it: blocks on lines of
// their own, an empty line after each paragraph, white space collapsed.
#pragma once

#include <documents/Document.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct _xmlNode;

namespace documents {

// Lays out one HTML document after another into one UTF-8 text, and
// remembers where each document and each element with an id begins there,
// and where its headings <h1> to <h3> are.
class TextLayout {
public:
    // At most `limit` bytes of text are made; more is an error.
    explicit TextLayout(std::size_t limit);

    // Parses `bytes` (with libxml2: as XML when `xml`, falling back to the
    // HTML parser when it is not well-formed; else as HTML) and appends its
    // text, starting on a new line after an empty one. Targets are named
    // "<name>" for the document and "<name>#<id>" for its elements. An empty
    // error on success; on failure the text so far stays.
    std::string Add(std::string_view bytes, bool xml, const std::string& name);

    const std::string& Text() const { return m_text; }
    std::string TakeText() { return std::move(m_text); }
    std::vector<Mark>& Headings() { return m_headings; }
    // Where the target begins in Text(), if the documents had it.
    std::optional<std::size_t> Target(const std::string& key) const;

private:
    void Walk(_xmlNode* root, const std::string& name);
    void Open(_xmlNode* element, const std::string& name);
    void Close(_xmlNode* element);
    void AddText(std::string_view text);
    void Put(std::string_view bytes);
    void Flush();
    void Break(int lines);

    std::size_t m_limit;
    bool m_overLimit = false;
    std::string m_text;
    std::vector<Mark> m_headings;
    std::unordered_map<std::string, std::size_t> m_targets;
    // What waits for the next byte of text, so that blocks that hold none
    // leave no empty lines and targets land on the text they stand before.
    int m_breaks = 0;
    bool m_space = false;
    std::string m_prefix;
    std::vector<std::string> m_pendingTargets;
    int m_preformatted = 0;
    // The document was read with HTML's syntax, and the next text is the
    // first of a <pre>.
    bool m_htmlSyntax = false;
    bool m_preStart = false;
    // The heading being read: where its text begins and the text itself.
    std::optional<std::size_t> m_headingStart;
    std::string m_headingName;
    bool m_inHeading = false;
    bool m_firstCell = true;
};

}  // namespace documents
