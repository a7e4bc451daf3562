#include "PdbContainer.h"

#include <algorithm>
#include <ctime>

#include "ByteOrder.h"

namespace palm {

namespace {

constexpr std::size_t kGapSize = 2;
constexpr std::uint32_t kPalmEpochOffset = 2082844800u;  // 1904-01-01 to 1970-01-01

}  // namespace

std::uint32_t PalmTimeNow()
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::time(nullptr)) + kPalmEpochOffset);
}

PdbHeader EbookHeader(const std::string& name, const char (&type)[5], const char (&creator)[5], std::uint32_t idBase)
{
    PdbHeader header;
    header.name = name;
    header.created = header.modified = PalmTimeNow();
    std::copy_n(type, 4, header.type);
    std::copy_n(creator, 4, header.creator);
    header.recordAttributes = 0x40;
    header.uniqueIdBase = idBase;
    return header;
}

std::string BuildPdb(const PdbHeader& header, const std::vector<std::string>& records)
{
    std::size_t total = kPdbHeaderSize + kPdbEntrySize * records.size() + kGapSize;
    for (const std::string& r : records)
        total += r.size();
    std::string out;
    out.reserve(total);

    std::string name = header.name.substr(0, kPdbNameField - 1);
    name.resize(kPdbNameField, '\0');
    out += name;
    PutU16(out, header.attributes);
    PutU16(out, header.version);
    PutU32(out, header.created);
    PutU32(out, header.modified);
    PutU32(out, 0);  // last backup
    PutU32(out, 0);  // modification number
    PutU32(out, 0);  // AppInfo
    PutU32(out, 0);  // SortInfo
    out.append(header.type, 4);
    out.append(header.creator, 4);
    PutU32(out, 0);  // unique ID seed
    PutU32(out, 0);  // next record list
    PutU16(out, static_cast<std::uint32_t>(records.size()));

    std::size_t offset = kPdbHeaderSize + kPdbEntrySize * records.size() + kGapSize;
    for (std::size_t i = 0; i < records.size(); ++i) {
        PutU32(out, static_cast<std::uint32_t>(offset));
        std::uint32_t id = (header.uniqueIdBase + static_cast<std::uint32_t>(i)) & 0xFFFFFF;
        PutU32(out, static_cast<std::uint32_t>(header.recordAttributes) << 24 | id);
        offset += records[i].size();
    }
    PutU16(out, 0);  // the traditional gap before the first record
    for (const std::string& r : records)
        out += r;
    return out;
}

}  // namespace palm
