#include <palm/EbookReader.h>

#include "EbookReaders.h"
#include "Files.h"
#include "PdbContainer.h"

namespace palm {

Result ReadEbook(std::string_view file, EbookInfo& info)
{
    PdbDatabase database;
    std::string error;
    if (!ParsePdb(file, database, error))
        return {Status::DamagedDatabase, error};
    info = EbookInfo{};
    info.title = database.name;
    info.type = database.type;
    info.creator = database.creator;
    info.totalRecordCount = static_cast<std::uint32_t>(database.records.size());
    // The type alone decides: other creators (readers' own variants) share the layout.
    if (database.type == "TEXt")
        return ReadPalmDoc(database, info);
    if (database.type == "zTXT")
        return ReadZtxt(database, info);
    return {Status::NotAnEbook, "type " + database.type};
}

Result ReadEbookFile(const std::string& path, EbookInfo& info)
{
    // Record offsets are 32 bits and no record reaches 64 KB: a larger file is
    // no database, and is not read at all.
    constexpr std::uint64_t kMaxDatabaseFile = (std::uint64_t{1} << 32) + 65536;
    std::string bytes;
    if (Result read = ReadInput(path, bytes, Status::DatabaseUnreadable, kMaxDatabaseFile); !read.Ok())
        return read;
    return ReadEbook(bytes, info);
}

}  // namespace palm
