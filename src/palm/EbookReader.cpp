#include <palm/EbookReader.h>

#include "EbookReaders.h"
#include "Files.h"
#include "PdbContainer.h"

namespace palm {

std::string_view Record0(const PdbDatabase& database, std::size_t size)
{
    // Both headers are longer than zero bytes, so empty means missing or short.
    return database.records.empty() || database.records[0].size() < size ? std::string_view() : database.records[0];
}

std::size_t PresentTextRecords(const PdbDatabase& database, std::uint32_t counted, std::string& damage)
{
    const std::size_t present = database.records.size() - 1;
    if (counted <= present)
        return counted;
    damage = "record 0 counts " + std::to_string(counted) + " text records, the file holds " + std::to_string(present);
    return present;
}

std::string LengthDamage(const EbookInfo& info)
{
    if (info.text.size() == info.textLength)
        return {};
    return "the text records decode to " + std::to_string(info.text.size()) + " bytes, record 0 declares " +
           std::to_string(info.textLength);
}

void AddDamage(std::string& damage, const std::string& cause)
{
    damage += (damage.empty() ? "" : "; ") + cause;
}

void DropBookmarksPastText(EbookInfo& info, std::string& damage)
{
    const std::size_t dropped = std::erase_if(
        info.bookmarks, [&info](const StoredBookmark& bookmark) { return bookmark.offset > info.textLength; });
    if (dropped != 0)
        AddDamage(damage, std::to_string(dropped) + (dropped == 1 ? " bookmark points" : " bookmarks point") +
                              " past the end of the text");
}

Result TextLengthRefusal(const EbookInfo& info, std::uint64_t maxText)
{
    if (info.textLength <= maxText)
        return {};
    return {Status::TextTooLong, "record 0 declares " + std::to_string(info.textLength) + " bytes of text, more than " +
                                     std::to_string(maxText) + " bytes"};
}

Result Outcome(EbookInfo& info, std::string damage)
{
    if (damage.empty())
        return {};
    info.salvaged = true;
    // Some tools count bytes they never store: then all the records hold is read.
    info.onlyLengthDiffers = damage == LengthDamage(info);
    return {Status::DamagedDatabase, std::move(damage)};
}

Result ReadEbook(std::string_view file, EbookInfo& info, std::uint64_t maxText)
{
    info = EbookInfo{};
    PdbDatabase database;
    std::string error;
    if (!ParsePdb(file, database, error)) {
        // Every database name ends with a NUL within its field; a document
        // (a text, say) has none there.
        if (file.substr(0, kPdbNameField).find('\0') == std::string_view::npos)
            return {Status::NotAnEbook, "it has no Palm database header"};
        return {Status::DamagedDatabase, error};
    }
    info.title = database.name;
    info.type = database.type;
    info.creator = database.creator;
    info.totalRecordCount = static_cast<std::uint32_t>(database.records.size());
    // The type alone decides: other creators (readers' own variants) share the layout.
    if (database.type == "TEXt")
        return ReadPalmDoc(database, info, maxText);
    if (database.type == "zTXT")
        return ReadZtxt(database, info, maxText);
    return {Status::NotAnEbook, "type " + database.type};
}

Result ReadEbookFile(const std::string& path, EbookInfo& info)
{
    std::string bytes;
    if (Result read = ReadInput(path, bytes, Status::DatabaseUnreadable, kMaxDatabaseFile); !read.Ok())
        return read;
    return ReadEbook(bytes, info);
}

}  // namespace palm
