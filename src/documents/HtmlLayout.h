// HTML laid out as plain text, the way a reader shows it: blocks on lines of
// their own, an empty line after each paragraph, white space collapsed.
#pragma once

#include <documents/Document.h>

#include "MarkupEvents.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace documents {

// Lays out one HTML document after another into one UTF-8 text, and
// remembers where each document and each element with an id begins there,
// and where its headings <h1> to <h3> are.
class TextLayout : private MarkupHandler {
public:
    enum class Role : unsigned char;  // what an element is to the layout

    // At most `limit` bytes of text are made; more is an error.
    explicit TextLayout(std::size_t limit);

    // Parses `bytes` (with libxml2: as XML when `xml`, falling back to the
    // HTML parser when it is not well-formed; else as HTML) and appends its
    // text, starting on a new line after an empty one. Targets are named
    // "<name>" for the document and "<name>#<id>" for its elements. An empty
    // error on success; on failure the text so far stays.
    std::string Add(std::string_view bytes, bool xml, const std::string& name);
    // The same for bytes that may still be arriving; the parse reads them
    // as they come. When they stop short, the document is taken back and
    // the error names their problem.
    std::string Add(ParserInput& input, bool xml, const std::string& name);

    const std::string& Text() const { return m_text; }
    std::string TakeText() { return std::move(m_text); }
    std::vector<Mark>& Headings() { return m_headings; }
    // Where the target begins in Text(), if the documents had it.
    std::optional<std::size_t> Target(const std::string& key) const;

private:
    // What waits for the next byte of text, so that blocks that hold none
    // leave no empty lines and targets land on the text they stand before,
    // and what the elements open around it ask for.
    struct Flow {
        int breaks = 0;
        bool space = false;
        std::string prefix;
        std::vector<std::string> pendingTargets;
        int preformatted = 0;
        // The document is read with HTML's syntax, and the next text is the
        // first of a <pre>.
        bool htmlSyntax = false;
        bool preStart = false;
        // The heading being read: where its text begins and the text itself.
        std::optional<std::size_t> headingStart;
        std::string headingName;
        bool inHeading = false;
        bool firstCell = true;
    };
    // Where a document began, to take it back when it is read again another
    // way or not at all.
    struct Checkpoint {
        Flow flow;
        std::size_t text;
        std::size_t headings;
        bool overLimit;
    };

    bool Hides(std::string_view name) const override;
    void Open(std::string_view name, const MarkupAttributes& attributes) override;
    void Close() override;
    void Text(std::string_view text) override;

    void Begin(const std::string& name, bool htmlSyntax);
    std::string Finish();
    Checkpoint Here() const;
    void Rewind(const Checkpoint& checkpoint);
    void AddTarget(const std::string& key);
    void Put(std::string_view bytes);
    void Flush();
    void Break(int lines);

    std::size_t m_limit;
    std::string m_name;  // of the document being read
    bool m_overLimit = false;
    std::string m_text;
    std::vector<Mark> m_headings;
    std::unordered_map<std::string, std::size_t> m_targets;
    std::vector<std::string> m_newTargets;  // the targets the document being read added
    std::vector<Role> m_roles;              // of the elements open
    Flow m_flow;
};

}  // namespace documents
