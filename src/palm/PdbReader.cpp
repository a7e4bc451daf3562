#include "PdbContainer.h"

#include "ByteOrder.h"

namespace palm {

bool ParsePdb(std::string_view file, PdbDatabase& database, std::string& error)
{
    if (file.size() < kPdbHeaderSize) {
        error = "file shorter than a Palm database header";
        return false;
    }
    database = PdbDatabase{};
    database.name = FixedName(file.substr(0, kPdbNameField));
    database.attributes = GetU16(file, kPdbNameField);
    database.version = GetU16(file, 34);
    database.type = std::string(file.substr(60, 4));
    database.creator = std::string(file.substr(64, 4));

    const std::size_t count = GetU16(file, 76);
    const std::size_t listEnd = kPdbHeaderSize + kPdbEntrySize * count;
    if (listEnd > file.size()) {
        error = "record list runs past the end of the file";
        return false;
    }
    std::vector<std::size_t> offsets(count);
    for (std::size_t i = 0; i < count; ++i) {
        offsets[i] = GetU32(file, kPdbHeaderSize + kPdbEntrySize * i);
        if (offsets[i] < listEnd || offsets[i] > file.size() || (i > 0 && offsets[i] < offsets[i - 1])) {
            error = "record " + std::to_string(i) + " has an impossible offset";
            return false;
        }
    }
    database.records.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t end = i + 1 < count ? offsets[i + 1] : file.size();
        database.records.push_back(file.substr(offsets[i], end - offsets[i]));
    }
    return true;
}

}  // namespace palm
