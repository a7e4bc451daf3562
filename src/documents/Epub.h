// EPUB books (2 and 3): a zip archive (libzip) whose package document names
// the content documents in reading order, the title and the table of
// contents (libxml2).
#pragma once

#include <documents/Document.h>

#include <string>
#include <string_view>

namespace documents {

// The book's dc:title, UTF-8; empty when it has none or cannot be read.
std::string EpubTitle(std::string_view bytes);

// Reads the book in `bytes`: its spine's content documents laid out one after
// another (those marked linear="no" after the others), its dc:title, and its
// table of contents (the navigation document's toc, else the NCX) as marks.
// Entries are looked up inside the archive only, each bounded in size. Gives
// why it cannot be read, for people, or empty; problems that leave part of the
// book readable go to document.warnings.
std::string ReadEpub(std::string_view bytes, const OpenOptions& options, Document& document);

}  // namespace documents
