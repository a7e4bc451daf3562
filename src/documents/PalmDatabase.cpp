#include "PalmDatabase.h"

#include <palm/EbookReader.h>

#include <algorithm>
#include <cstdint>

namespace documents {

namespace {

// The header's name field and the type that follows the dates and counters.
constexpr std::size_t kNameField = 32;
constexpr std::size_t kTypeAt = 60;
constexpr std::size_t kHeaderSize = 78;

// What palm's reader said, as the rest of a sentence.
std::string Detail(const palm::Result& result)
{
    return result.detail.empty() ? std::string() : ": " + result.detail;
}

}  // namespace

bool HasEbookHeader(std::string_view firstBytes)
{
    if (firstBytes.size() < kHeaderSize || firstBytes.substr(0, kNameField).find('\0') == std::string_view::npos)
        return false;
    const std::string_view type = firstBytes.substr(kTypeAt, 4);
    return type == "TEXt" || type == "zTXT";
}

std::string DatabaseTitle(std::string_view bytes)
{
    if (!HasEbookHeader(bytes))
        return {};
    const std::string_view field = bytes.substr(0, kNameField);
    return std::string(field.substr(0, field.find('\0')));
}

std::string ReadPalmDatabase(std::string_view bytes, const OpenOptions& options, Document& document)
{
    palm::EbookInfo info;
    const std::uint64_t maxText = options.maxText != 0 ? options.maxText : UINT32_MAX;
    const palm::Result result = palm::ReadEbook(bytes, info, maxText);
    switch (result.status) {
    case palm::Status::Ok: break;
    case palm::Status::NotAnEbook: return "the file is not a PalmDoc or zTXT database" + Detail(result);
    case palm::Status::TextTooLong:
        return "the database's text is longer than a database of this record size can hold" + Detail(result);
    case palm::Status::DamagedDatabase:
        if (info.onlyLengthDiffers)
            break;
        if (options.salvage && info.salvaged) {
            document.warnings.push_back("the database is damaged (" + result.detail +
                                        "): only what could be read of it was converted");
            break;
        }
        document.salvageable = info.salvaged;
        return "the database is damaged" + Detail(result);
    default: return "the database cannot be read" + Detail(result);
    }
    document.text = std::move(info.text);
    document.title = std::move(info.title);
    document.bookmarks.reserve(info.bookmarks.size());
    for (palm::StoredBookmark& bookmark : info.bookmarks)
        document.bookmarks.push_back({bookmark.offset, std::move(bookmark.name)});
    // Readers take the stored order as it comes; the text is read in order.
    std::stable_sort(document.bookmarks.begin(), document.bookmarks.end(),
                     [](const Mark& a, const Mark& b) { return a.offset < b.offset; });
    return {};
}

}  // namespace documents
