// Writers of PalmDoc (TEXt/REAd) and zTXT (zTXT/GPlm) databases.
//
// The file writers read the prepared text and the bookmark file, build the
// database in memory and replace the output file only when it is complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <palm/PalmResult.h>
#include <palm/StoredBookmark.h>

namespace palm {

constexpr std::uint32_t kMinRecordSize = 1024;
constexpr std::uint32_t kMaxRecordSize = 31 * 1024;

enum class ZtxtMode : std::uint8_t {
    RandomAccess = 1,    // one zlib stream, full flush after each record
    EntireDocument = 2,  // one finished zlib stream cut into records
};

// What goes into a database: both builders refuse an empty text (EmptyText),
// so that every record they write holds bytes. Bookmarks may come in any order; offsets beyond
// the text are dropped (and counted as skipped).
struct BookContent {
    std::string title;  // database name, cut to 31 bytes
    std::string_view text;
    std::vector<StoredBookmark> bookmarks;
    std::uint32_t recordSize = 4096;  // uncompressed bytes per text record
};

// The longest bookmark name each format keeps, in bytes: PalmDoc ends its
// 16-byte field with a NUL, zTXT fills its 20 bytes.
inline constexpr std::size_t kPalmDocBookmarkName = 15;
inline constexpr std::size_t kZtxtBookmarkName = 20;

// The text is stored byte for byte; compress selects PalmDoc compression (2)
// over stored records (1). Bookmark names are cut to kPalmDocBookmarkName bytes.
Result BuildPalmDoc(const BookContent& content, bool compress, std::string& database);

// The text is stored as ZtxtText makes it; bookmark offsets count that text.
// Bookmark titles are cut to kZtxtBookmarkName bytes.
Result BuildZtxt(const BookContent& content, ZtxtMode mode, std::string& database);

// The most text a PalmDoc or random-access zTXT database with records of
// recordSize bytes can hold: 65534 text records beside record 0. A record
// size out of range counts as the largest.
std::uint64_t MaxTextLength(std::uint32_t recordSize);

// zTXT readers break lines at LF only: the CR of each CR LF is dropped and
// every other CR becomes LF, so that text with CR line ends keeps them.
std::string ZtxtText(std::string_view text);
// Where byte `position` of `text` lies in ZtxtText(text).
std::size_t ZtxtPosition(std::string_view text, std::size_t position);

// The title of a database written without one: the output file's name
// without ".pdb".
std::string TitleFromOutputPath(const std::string& outputPath);

struct WriteRequest {
    std::string textPath;      // prepared text, raw bytes
    std::string outputPath;    // database to create or replace
    std::string title;         // empty: TitleFromOutputPath
    std::string bookmarkPath;  // empty: no bookmarks
    std::uint32_t recordSize = 4096;
};

Result WritePalmDoc(const WriteRequest& request, bool compress);
Result WriteZtxt(const WriteRequest& request, ZtxtMode mode);

}  // namespace palm
