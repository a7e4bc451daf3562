// The per-format halves of ReadEbook, given the split container.
#pragma once

#include <palm/EbookReader.h>

#include "PdbContainer.h"

namespace palm {

// Record 0, the format's header, when it holds at least `size` bytes; else
// an empty view, which is damage.
std::string_view Record0(const PdbDatabase& database, std::size_t size);
// Steps both share once record 0 is read. The text records of those record 0
// counts that the file holds; fewer is damage, said in `damage`.
std::size_t PresentTextRecords(const PdbDatabase& database, std::uint32_t counted, std::string& damage);
// Empty when the decoded text has the length record 0 declares, else why not.
std::string LengthDamage(const EbookInfo& info);
// Adds one more cause to what `damage` already says.
void AddDamage(std::string& damage, const std::string& cause);
// Bookmarks that point past the text record 0 declares point at nothing:
// they are dropped, and said in `damage`.
void DropBookmarksPastText(EbookInfo& info, std::string& damage);
// Ok without damage; else DamagedDatabase, with info marked as salvaged, and
// as onlyLengthDiffers when the damage is LengthDamage's alone.
Result Outcome(EbookInfo& info, std::string damage);

// Why a text of the length record 0 declares is not read at all, when it is
// longer than maxText; empty otherwise.
Result TextLengthRefusal(const EbookInfo& info, std::uint64_t maxText);

Result ReadPalmDoc(const PdbDatabase& database, EbookInfo& info, std::uint64_t maxText);
Result ReadZtxt(const PdbDatabase& database, EbookInfo& info, std::uint64_t maxText);

}  // namespace palm
