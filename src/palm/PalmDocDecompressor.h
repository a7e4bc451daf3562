// PalmDoc LZ77 decompression of one text record.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace palm {

// What is wrong with a compressed record, the first fault met.
enum class PalmDocFault {
    None,
    BeforeStart,   // a copy reaches back before the start of the record
    DistanceZero,  // a copy of distance 0, which repeats nothing
    CutShort,      // the record ends inside a counted run or a copy code
    TooLong,       // the record decodes to more than maxSize bytes
};

// Appends the decoded record to out and returns its first fault. Decoding
// stops at that fault, with what was decoded so far appended; with keepGoing
// it goes on past a faulty copy, writing '?' for each byte the copy would
// have made (as a lenient reader shows it), and stops only where nothing
// more can be decoded: at a cut-short code or at maxSize decoded bytes.
PalmDocFault DecodePalmDocRecord(std::string_view record, std::string& out, std::size_t maxSize, bool keepGoing);

// True when the record decodes without fault (see DecodePalmDocRecord).
inline bool DecompressPalmDocRecord(std::string_view record, std::string& out, std::size_t maxSize)
{
    return DecodePalmDocRecord(record, out, maxSize, false) == PalmDocFault::None;
}

}  // namespace palm
