// The per-format halves of readEbook, given the split container.
#pragma once

#include <palm/EbookReader.h>
#include <palm/PdbContainer.h>

namespace palm {

Result readPalmDoc(const PdbDatabase& database, EbookInfo& info);
Result readZtxt(const PdbDatabase& database, EbookInfo& info);

}  // namespace palm
