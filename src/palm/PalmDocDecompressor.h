// PalmDoc LZ77 decompression of one text record.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace palm {

// Appends the decoded record to out. Returns false, with what was decoded so
// far appended, when the record is damaged: a back-reference before the start
// of the record or of distance 0, a counted run cut short by the record's end,
// or more than maxSize decoded bytes.
bool DecompressPalmDocRecord(std::string_view record, std::string& out, std::size_t maxSize);

}  // namespace palm
