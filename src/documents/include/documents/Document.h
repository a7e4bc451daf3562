// A document as the converter takes it in: its text, its own title and the
// places its structure names (table of contents entries, headings).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace documents {

// A place the document itself names: a contents entry or a heading.
struct Mark {
    std::size_t offset;  // into the document's text
    std::string name;    // UTF-8, white space collapsed
    bool operator==(const Mark&) const = default;
};

// Whether a document is HTML: by its name (.htm, .html, .xhtml, .shtml in any
// case) or by its first bytes (past a byte-order mark and white space,
// "<!DOCTYPE html" or "<html", in any case).
bool IsHtml(std::string_view fileName, std::string_view firstBytes);

}  // namespace documents
