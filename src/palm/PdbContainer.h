// The Palm database (PDB) container: a 78-byte header, a record list of
// 8-byte entries, a 2-byte gap, then the records back to back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace palm {

// The fixed layout: the header, then one entry per record (its offset, its
// attributes and its 24-bit unique id).
inline constexpr std::size_t kPdbHeaderSize = 78;
inline constexpr std::size_t kPdbEntrySize = 8;
inline constexpr std::size_t kPdbNameField = 32;
// The record count is 16 bits.
inline constexpr std::size_t kPdbMaxRecords = 65535;

struct PdbHeader {
    std::string name;  // cut to 31 bytes; stored NUL-terminated in 32
    std::uint16_t attributes = 0;
    std::uint16_t version = 0;
    std::uint32_t created = 0;  // seconds since 1904-01-01 UTC
    std::uint32_t modified = 0;
    char type[4] = {};
    char creator[4] = {};
    std::uint8_t recordAttributes = 0;
    std::uint32_t uniqueIdBase = 0;  // record i gets uniqueIdBase + i (24 bits)
};

// Seconds since 1904-01-01 00:00 UTC, as Palm OS dates count (wraps in 2040).
std::uint32_t PalmTimeNow();

// The header of an e-book database made now: its records are marked dirty
// (0x40) as the readers' own tools mark them, and numbered from idBase.
PdbHeader EbookHeader(const std::string& name, const char (&type)[5], const char (&creator)[5], std::uint32_t idBase);

// The whole database file. At most 65535 records; the caller checks.
std::string BuildPdb(const PdbHeader& header, const std::vector<std::string>& records);

struct PdbDatabase {
    std::string name;
    std::uint16_t attributes = 0;
    std::uint16_t version = 0;
    std::string type;                       // 4 bytes
    std::string creator;                    // 4 bytes
    std::vector<std::string_view> records;  // views into the parsed bytes
};

// Splits a database file into records. Offsets must lie after the record
// list, inside the file and in ascending order; anything else is damage,
// described in error.
bool ParsePdb(std::string_view file, PdbDatabase& database, std::string& error);

}  // namespace palm
