// The Palm database container as the readers walk it: header, name, type and
// creator, and the record list.
#include "ByteOrder.h"
#include "DatabaseChecks.h"
#include "PdbContainer.h"

namespace palm::check {

namespace {

constexpr std::size_t kTypeAt = 60;
constexpr std::size_t kCreatorAt = 64;
constexpr std::size_t kCountAt = 76;

std::string Quoted(std::string_view code)
{
    return "'" + std::string(code) + "'";
}

// Only the exact type and creator pairs below are opened by calibre (it picks
// its reader by the 8 bytes), FBReader (its PalmDoc and zTXT plugins accept
// one pair each) and KOReader and CoolReader (their PDB import knows
// TEXt/REAd and no zTXT at all); Palm OS readers also open other creators.
void CheckCreator(const DatabaseView& database, FindingList& findings)
{
    if (database.type == "TEXt" && database.creator != "REAd")
        findings.Refuses(kCreatorAt, "calibre, FBReader, KOReader and CoolReader",
                         "creator " + Quoted(database.creator) + ": these readers open only TEXt/REAd");
    if (database.type == "zTXT" && database.creator != "GPlm")
        findings.Refuses(kCreatorAt, "calibre and FBReader",
                         "creator " + Quoted(database.creator) + ": these readers open only zTXT/GPlm");
}

// Walks the record list as the readers do: each record runs from its offset
// to the next one's. KOReader and CoolReader refuse a database whose offsets
// go backwards or reach the end of the file; FBReader stops reading at an
// offset that goes backwards; calibre reads whatever the offsets cut.
void CheckRecordList(std::string_view file, std::size_t count, DatabaseView& database, FindingList& findings)
{
    const std::size_t listEnd = kPdbHeaderSize + kPdbEntrySize * count;
    std::vector<std::size_t> offsets(count);
    for (std::size_t i = 0; i < count; ++i)
        offsets[i] = GetU32(file, kPdbHeaderSize + kPdbEntrySize * i);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kPdbHeaderSize + kPdbEntrySize * i;
        const std::size_t offset = offsets[i];
        const std::size_t next = i + 1 < count ? offsets[i + 1] : file.size();
        const std::string record = "record " + std::to_string(i);
        if (offset > file.size())
            findings.Refuses(entry, "all readers",
                             record + " starts past the end of the file (offset " + std::to_string(offset) + " of " +
                                 std::to_string(file.size()) + " bytes)");
        else if (offset == file.size())
            findings.Refuses(entry, "Palm OS, KOReader and CoolReader",
                             record + " starts at the end of the file, so it is empty");
        else if (i > 0 && offset < offsets[i - 1])
            findings.Refuses(entry, "KOReader and CoolReader",
                             record + " starts before record " + std::to_string(i - 1) +
                                 ": the records run backwards (FBReader stops reading there)");
        else if (offset == next)
            // No Palm OS memory chunk has size 0, so such a record cannot be
            // installed on the hand-held.
            findings.Refuses(entry, "Palm OS", record + " is empty (0 bytes), which Palm OS cannot hold");
        if (offset < listEnd)
            findings.ShowsWrongly(entry, "all readers",
                                  record + " overlaps the header and record list (offset " + std::to_string(offset) +
                                      ")");
        const bool readable = offset <= file.size() && next >= offset;
        database.records.push_back(
            {offset, readable ? file.substr(offset, std::min(next, file.size()) - offset) : std::string_view()});
    }
}

}  // namespace

bool CheckContainer(std::string_view file, DatabaseView& database, FindingList& findings)
{
    database = DatabaseView{file, {}, {}, {}};
    if (file.size() < kPdbHeaderSize) {
        findings.Refuses(0, "all readers",
                         "the file is shorter than a database header (" + std::to_string(kPdbHeaderSize) + " bytes)");
        return false;
    }
    database.type = std::string(file.substr(kTypeAt, 4));
    database.creator = std::string(file.substr(kCreatorAt, 4));
    if (database.type != "TEXt" && database.type != "zTXT") {
        findings.Refuses(kTypeAt, "all readers", "type " + Quoted(database.type) + " is neither TEXt nor zTXT");
        return false;
    }
    // Palm OS names are strings of at most 31 bytes ended by a zero byte
    // within the 32-byte field; a longer one is no valid database name there.
    if (file.substr(0, kPdbNameField).find('\0') == std::string_view::npos)
        findings.Refuses(0, "Palm OS", "the database name fills its 32 bytes without an ending zero byte");
    CheckCreator(database, findings);

    const std::size_t count = GetU16(file, kCountAt);
    if (count == 0) {
        findings.Refuses(kCountAt, "all readers", "the database holds no records");
        return false;
    }
    if (kPdbHeaderSize + kPdbEntrySize * count > file.size()) {
        findings.Refuses(kCountAt, "all readers",
                         "the record list of " + std::to_string(count) + " records runs past the end of the file");
        return false;
    }
    CheckRecordList(file, count, database, findings);
    return true;
}

}  // namespace palm::check
