// A document as the converter takes it in: its text, its own title, the
// places its structure names (table of contents entries, headings) and the
// bookmarks it already holds (a Palm database's).
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

// What the converter takes from a document.
struct Document {
    std::string text;
    // The text is HTML laid out as text, in UTF-8 (see TextLayout): the
    // rules that remove tags have nothing left to do on it.
    bool laidOut = false;
    std::string title;        // the book's own title, UTF-8; empty when it names none
    std::vector<Mark> marks;  // its contents, or an HTML document's headings, in reading order
    // The bookmarks a Palm database holds, in stored order, their names in
    // the database's own bytes: the user's, kept whatever the contents give.
    std::vector<Mark> bookmarks;
    // What could not be read of a book that was read in part, for people.
    std::vector<std::string> warnings;
    // Refused as a damaged database, of which OpenOptions::salvage would read part.
    bool salvageable = false;
};

struct OpenOptions {
    bool layOutHtml = true;   // HTML is laid out as text; else its bytes are the text
    std::size_t maxText = 0;  // the most text a database can hold
    // A damaged Palm database gives what can be read of it, with a warning,
    // instead of being refused.
    bool salvage = false;
};

// Makes the document of a file named `fileName` (the name decides with its
// first bytes what kind it is: a Palm database, an EPUB book, an HTML
// document, else plain text) from its `bytes`, which it takes. Returns why it
// cannot, for people; empty on success. EPUB books are always laid out; a
// database's text is taken as it is stored.
std::string OpenDocument(std::string_view fileName, std::string&& bytes, const OpenOptions& options,
                         Document& document);

// The title a document gives itself (an EPUB book's dc:title, UTF-8, or a
// database's name, as it is stored), from the file's name and bytes; empty
// when it gives none.
std::string OwnTitle(std::string_view fileName, std::string_view bytes);
// Whether a file's name or first bytes say it may give itself a title, so
// that OwnTitle needs its bytes.
bool MayHaveOwnTitle(std::string_view fileName, std::string_view firstBytes);

// Whether a file is meant as a Palm database: its name ends in ".pdb" or
// ".prc" (any case), or its first 78 bytes are the header of a PalmDoc or
// zTXT database.
bool IsDatabase(std::string_view fileName, std::string_view firstBytes);

// Whether `bytes` of a file named `fileName` are meant as an EPUB book: the
// name ends in ".epub" (any case), or the archive begins with the EPUB
// mimetype entry.
bool IsEpub(std::string_view fileName, std::string_view bytes);

// Whether a document is HTML: by its name (.htm, .html, .xhtml, .shtml in any
// case) or by its first bytes (past a byte-order mark and white space,
// "<!DOCTYPE html" or "<html", in any case).
bool IsHtml(std::string_view fileName, std::string_view firstBytes);

}  // namespace documents
