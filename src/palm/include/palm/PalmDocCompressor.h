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
  void compressRecord(std::string_view record, std::string& out);

 private:
  void findMatches(std::size_t size);
  void priceRest(std::size_t size);

  // Work buffers, kept between records to avoid reallocating.
  std::vector<unsigned char> padded_;    // the record and sixteen zero bytes
  std::vector<std::uint16_t> head_[3];   // per key length: hash -> latest position (biased, 0 for none)
  std::vector<std::uint16_t> chain_[3];  // per key length: position -> previous one with the same hash
  std::vector<std::uint8_t> longest_;    // longest usable back-reference at a position
  std::vector<std::uint16_t> distance_;  // its distance (valid for every shorter length too)
  std::vector<std::uint16_t> cost_;      // bytes needed to encode the rest of the record
};

// One-shot form of PalmDocCompressor::compressRecord.
std::string compressPalmDocRecord(std::string_view record);

}  // namespace palm
