// PalmDoc LZ77 compression of one text record.
//
// The parse is optimal for the format: over the positions of a record it picks
// the cheapest sequence of literals, space pairs, counted literal runs (1..8
// bytes) and back-references (length 3..10, distance 1..2047). The search for
// references is exhaustive on text; on contrived input it is bounded, and the
// parse is then the cheapest among the references found. Back-references
// stay inside the record and never overlap the bytes they produce, so every
// reader decodes them the same way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace palm {

class PalmDocCompressor {
public:
    // Appends the compressed record to out. It decodes on its own, back to
    // exactly these bytes, and is at most 9/8 of their size (rounded up).
    void CompressRecord(std::string_view record, std::string& out);

private:
    void FindMatches(std::size_t size);
    void PriceRest(std::size_t size);

    // Work buffers, kept between records to avoid reallocating.
    std::vector<unsigned char> m_padded;    // the record and sixteen zero bytes
    std::vector<std::uint16_t> m_head[3];   // per key length: hash -> latest position (biased, 0 for none)
    std::vector<std::uint16_t> m_chain[3];  // per key length: position -> previous one with the same hash
    std::vector<std::uint8_t> m_longest;    // longest usable back-reference at a position
    std::vector<std::uint16_t> m_distance;  // its distance (valid for every shorter length too)
    std::vector<std::uint16_t> m_cost;      // bytes needed to encode the rest of the record
};

// One-shot form of PalmDocCompressor::CompressRecord.
std::string CompressPalmDocRecord(std::string_view record);

}  // namespace palm
