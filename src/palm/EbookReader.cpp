#include <palm/EbookReader.h>
#include <palm/PdbContainer.h>

#include "EbookReaders.h"
#include "Files.h"

namespace palm {

Result readEbook(std::string_view file, EbookInfo& info) {
  PdbDatabase database;
  std::string error;
  if (!parsePdb(file, database, error)) return {Status::DamagedDatabase, error};
  info = EbookInfo{};
  info.title = database.name;
  info.type = database.type;
  info.creator = database.creator;
  info.totalRecordCount = static_cast<std::uint32_t>(database.records.size());
  // The type alone decides: other creators (readers' own variants) share the layout.
  if (database.type == "TEXt") return readPalmDoc(database, info);
  if (database.type == "zTXT") return readZtxt(database, info);
  return {Status::NotAnEbook, "type " + database.type};
}

Result readEbookFile(const std::string& path, EbookInfo& info) {
  std::string bytes, error;
  if (!readWholeFile(path, bytes, error)) return {Status::DatabaseUnreadable, error};
  return readEbook(bytes, info);
}

}  // namespace palm
