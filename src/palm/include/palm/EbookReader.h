// Reading PalmDoc and zTXT databases: header fields, text and bookmarks.
// Every field is bounds-checked; a damaged or foreign file gives an error
// result, never a crash.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <palm/PalmResult.h>
#include <palm/StoredBookmark.h>

namespace palm {

enum class EbookFormat { PalmDoc, Ztxt };

struct EbookInfo {
    EbookFormat format = EbookFormat::PalmDoc;
    std::string title;    // database name
    std::string type;     // 4 bytes, "TEXt" or "zTXT"
    std::string creator;  // 4 bytes
    // PalmDoc: 1 stored, 2 compressed. zTXT: 1 random access, 2 entire document
    // (from the random-access flag).
    std::uint16_t compression = 0;
    std::uint8_t ztxtFlags = 0;     // zTXT only
    std::uint16_t ztxtVersion = 0;  // zTXT only
    std::uint32_t recordSize = 0;   // as record 0 declares it
    std::uint32_t textRecordCount = 0;
    std::uint32_t totalRecordCount = 0;
    std::uint32_t textLength = 0;  // as record 0 declares it
    std::string text;
    std::vector<StoredBookmark> bookmarks;  // in stored order
    // With a DamagedDatabase result: record 0 was read, and text and
    // bookmarks hold what could be read of the rest.
    bool salvaged = false;
    // With a DamagedDatabase result: the one damage is that every record
    // was read and gave another length of text than record 0 declares, as
    // some tools write it. Nothing the records hold is missing from text.
    bool onlyLengthDiffers = false;
};

// A database is whole when its text records decode, each to no more than
// the record size and together to exactly the text length record 0
// declares, and its bookmarks can be read and point into the text; anything
// less is DamagedDatabase, with what could be read kept when `salvaged` says
// so. A zTXT record is never inflated beyond what it may hold, so a small
// file never takes more memory than its header could honestly declare. A
// database whose record 0 declares more than maxText bytes of text is
// TextTooLong, refused before any record is decoded.
Result ReadEbook(std::string_view file, EbookInfo& info, std::uint64_t maxText = UINT32_MAX);
// Whether a read gave all the text its records hold, with its bookmarks: an
// Ok result, or one whose damage is only the declared length.
inline bool TextIsWhole(const Result& result, const EbookInfo& info)
{
    return result.Ok() || info.onlyLengthDiffers;
}

// A file larger than kMaxDatabaseFile is refused before it is read.
Result ReadEbookFile(const std::string& path, EbookInfo& info);

// Record offsets are 32 bits and no record reaches 64 KB: no database is larger.
inline constexpr std::uint64_t kMaxDatabaseFile = (std::uint64_t{1} << 32) + 65536;

}  // namespace palm
