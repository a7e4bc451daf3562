#include <palm/PdbContainer.h>

#include <ctime>

#include "ByteOrder.h"

namespace palm {

namespace {

constexpr std::size_t kHeaderSize = 78;
constexpr std::size_t kEntrySize = 8;
constexpr std::size_t kGapSize = 2;
constexpr std::size_t kNameField = 32;
constexpr std::uint32_t kPalmEpochOffset = 2082844800u;  // 1904-01-01 to 1970-01-01

}  // namespace

std::uint32_t palmTimeNow() {
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::time(nullptr)) + kPalmEpochOffset);
}

std::string buildPdb(const PdbHeader& header, const std::vector<std::string>& records) {
  std::size_t total = kHeaderSize + kEntrySize * records.size() + kGapSize;
  for (const std::string& r : records) total += r.size();
  std::string out;
  out.reserve(total);

  std::string name = header.name.substr(0, kNameField - 1);
  name.resize(kNameField, '\0');
  out += name;
  putU16(out, header.attributes);
  putU16(out, header.version);
  putU32(out, header.created);
  putU32(out, header.modified);
  putU32(out, 0);  // last backup
  putU32(out, 0);  // modification number
  putU32(out, 0);  // AppInfo
  putU32(out, 0);  // SortInfo
  out.append(header.type, 4);
  out.append(header.creator, 4);
  putU32(out, 0);  // unique ID seed
  putU32(out, 0);  // next record list
  putU16(out, static_cast<std::uint32_t>(records.size()));

  std::size_t offset = kHeaderSize + kEntrySize * records.size() + kGapSize;
  for (std::size_t i = 0; i < records.size(); ++i) {
    putU32(out, static_cast<std::uint32_t>(offset));
    std::uint32_t id = (header.uniqueIdBase + static_cast<std::uint32_t>(i)) & 0xFFFFFF;
    putU32(out, static_cast<std::uint32_t>(header.recordAttributes) << 24 | id);
    offset += records[i].size();
  }
  putU16(out, 0);  // the traditional gap before the first record
  for (const std::string& r : records) out += r;
  return out;
}

}  // namespace palm
