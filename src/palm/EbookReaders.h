// The per-format halves of ReadEbook, given the split container.
#pragma once

#include <palm/EbookReader.h>

#include "PdbContainer.h"

namespace palm {

Result ReadPalmDoc(const PdbDatabase& database, EbookInfo& info);
Result ReadZtxt(const PdbDatabase& database, EbookInfo& info);

}  // namespace palm
