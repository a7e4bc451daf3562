// Palm databases (PalmDoc and zTXT) as documents, through palm's readers: the
// text as it is stored, the database's name and its bookmarks.
#pragma once

#include <documents/Document.h>

#include <string>
#include <string_view>

namespace documents {

// Whether the first bytes of a file are the header of a PalmDoc or zTXT
// database: a name ended within its field, and the type of either format.
bool HasEbookHeader(std::string_view firstBytes);

// The database's name as it is stored; empty when it is no e-book.
std::string DatabaseTitle(std::string_view bytes);

// Reads the database in `bytes`: its text, as the marks-free document text,
// and its bookmarks at their stored offsets. A damaged database is refused,
// naming its damage, unless options.salvage takes what can be read of it,
// with the damage in document.warnings. A text longer than options.maxText
// (when not 0) is refused before it is decoded. Gives why it cannot be read,
// for people, or empty.
std::string ReadPalmDatabase(std::string_view bytes, const OpenOptions& options, Document& document);

}  // namespace documents
