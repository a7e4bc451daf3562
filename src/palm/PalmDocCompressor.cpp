#include <palm/PalmDocCompressor.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

namespace palm {

namespace {

constexpr std::size_t kMaxDistance = 2047;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 10;
constexpr std::size_t kMaxRun = 8;
// Hash tables large enough that a chain rarely holds positions with other
// bytes than its own; the 3-byte keys, being the most, get twice the room.
constexpr unsigned kHashBits = 14;
// How many earlier positions with the same hash are tried at most. In text a
// chain within reach is shorter than this, so the search is exhaustive and
// the parse the smallest the format allows; the limit only keeps contrived
// input (a few letters in every order) from slowing the search down.
constexpr unsigned kMaxTries = 256;
// Tables hold positions plus this bias, which leaves 0 for an empty slot
// and puts the slot out of reach without a test of its own.
constexpr std::size_t kStoredBias = kMaxDistance + 1;
// Zero bytes after the record, so that the ten bytes a reference can cover
// are loaded as eight and two anywhere in it.
constexpr std::size_t kPadding = 16;

// Bytes that stand for themselves: 0x00 and 0x09..0x7F.
bool isPlain(unsigned char b) { return b == 0 || (b >= 0x09 && b <= 0x7F); }

// A space and a byte 0x40..0x7F go out as one byte. `data` is padded, and
// the padding's zero byte never pairs.
bool startsSpacePair(const unsigned char* data, std::size_t i) {
  return (data[i] == ' ') & (static_cast<unsigned char>(data[i + 1] - 0x40) < 0x40);
}

// Eight bytes with the first one lowest, whatever the machine's byte order.
std::uint64_t load64(const unsigned char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

// Two bytes with the first one lowest.
unsigned load16(const unsigned char* p) { return p[0] | static_cast<unsigned>(p[1]) << 8; }

template <unsigned Bits>
unsigned hashLow(std::uint64_t bytes, unsigned count) {
  return static_cast<unsigned>(((bytes << (64 - 8 * count)) * 0x9E3779B97F4A7C15ull) >> (64 - Bits));
}

// All ones when the condition holds: OR-ing it into a price rules the price
// out of a minimum without a branch.
unsigned excludedIf(bool condition) { return 0u - static_cast<unsigned>(condition); }

struct Match {
  std::size_t length = 0;
  std::size_t distance = 0;
};

// The bytes at one position of the padded record, and the back-references for them.
class Position {
 public:
  Position(const unsigned char* data, std::size_t size, std::size_t i)
      : data_(data), i_(i), maxLength_(std::min(kMaxMatch, size - i)), here_(load64(data + i)),
        next_(load16(data + i + 8)) {}

  std::size_t maxLength() const { return maxLength_; }

  // Distance back to a stored position; an empty slot is out of reach.
  std::size_t distanceTo(std::size_t stored) const { return i_ + kStoredBias - stored; }
  std::uint64_t bytes() const { return here_; }

  // Length of the usable reference at this distance (0 gives 0): no longer
  // than the distance, so it never overlaps its own output.
  [[gnu::always_inline]] std::size_t lengthAt(std::size_t distance) const {
    const std::size_t p = i_ - distance;
    const std::size_t edge = std::min(maxLength_, distance);
    // countr_zero of 0 is 64: all eight bytes agree, and then the next two
    // decide. Both are worked out and one picked, without a branch.
    const std::size_t head = static_cast<std::size_t>(std::countr_zero(load64(data_ + p) ^ here_)) / 8;
    const std::size_t tail = static_cast<std::size_t>(std::countr_zero((load16(data_ + p + 8) ^ next_) | 0x10000u)) / 8;
    return std::min(head == 8 ? 8 + tail : head, edge);
  }

  // Walks a hash chain from `first` (a stored position) and raises best to
  // the longest reference found within reach, stopping once it has `enough`.
  [[gnu::always_inline]] void searchChain(const std::uint16_t* chain, std::size_t first, std::size_t enough,
                                          Match& best) const {
    unsigned tries = kMaxTries;
    for (std::size_t candidate = first; tries-- != 0; candidate = chain[candidate - kStoredBias]) {
      const std::size_t distance = distanceTo(candidate);
      if (distance > kMaxDistance) return;
      // Selected rather than branched on: whether a candidate is longer is
      // the least predictable question here.
      const std::size_t length = lengthAt(distance);
      const bool longer = length > best.length;
      best.distance = longer ? distance : best.distance;
      best.length = longer ? length : best.length;
      if (best.length >= enough) return;
    }
  }

 private:
  const unsigned char* data_;
  std::size_t i_;
  std::size_t maxLength_;
  std::uint64_t here_;  // the eight bytes at the position
  unsigned next_;       // and the two after them
};

// The positions of a record filed by the hash of their first KeyLength bytes:
// a table from hash to the latest position, and a chain from each position to
// the one before it with the same hash.
template <std::size_t KeyLength, unsigned HashBits>
class HashChains {
 public:
  HashChains(std::vector<std::uint16_t>& head, std::vector<std::uint16_t>& chain, std::size_t size) {
    head.assign(std::size_t{1} << HashBits, 0);
    chain.resize(size);
    // Raw pointers: stores through the byte-sized arrays would otherwise make
    // the compiler reload every vector's data pointer after each one.
    head_ = head.data();
    chain_ = chain.data();
  }

  // Raises best from the earlier positions with the same key, unless it
  // already has `enough`, then files the position itself.
  [[gnu::always_inline]] void searchAndFile(const Position& here, std::size_t i, std::size_t enough, Match& best) {
    const unsigned h = hashLow<HashBits>(here.bytes(), KeyLength);
    if (best.length < enough) here.searchChain(chain_, head_[h], enough, best);
    chain_[i] = head_[h];
    head_[h] = static_cast<std::uint16_t>(i + kStoredBias);
  }

 private:
  std::uint16_t* head_;
  std::uint16_t* chain_;
};

}  // namespace

void PalmDocCompressor::findMatches(std::size_t size) {
  HashChains<6, kHashBits> six(head_[0], chain_[0], size);
  HashChains<4, kHashBits> four(head_[1], chain_[1], size);
  HashChains<3, kHashBits + 1> three(head_[2], chain_[2], size);
  longest_.assign(size, 0);
  distance_.resize(size);
  const unsigned char* data = padded_.data();
  std::uint8_t* longest = longest_.data();
  std::uint16_t* distance = distance_.data();

  std::size_t previousDistance = 0;
  for (std::size_t i = 0; i + kMinMatch <= size; ++i) {
    const Position here(data, size, i);
    const std::size_t most = here.maxLength();
    // Inside a repeated stretch the previous position's distance usually
    // reaches as far as any: when it gives the longest possible reference the
    // chains have nothing better to offer.
    Match best{here.lengthAt(previousDistance), previousDistance};
    // References of 6 bytes and more share the first six, so the 6-byte
    // chain, much shorter than the 4-byte one in text, finds them all. What
    // it leaves is at most 5 long, and then at most 3: the shorter keys' walks
    // stop at the first reference that long.
    six.searchAndFile(here, i, most, best);
    four.searchAndFile(here, i, std::min<std::size_t>(5, most), best);
    three.searchAndFile(here, i, kMinMatch, best);

    longest[i] = static_cast<std::uint8_t>(best.length < kMinMatch ? 0 : best.length);
    distance[i] = static_cast<std::uint16_t>(best.distance);
    previousDistance = best.length < kMinMatch ? 0 : best.distance;
  }
}

void PalmDocCompressor::priceRest(std::size_t size) {
  const unsigned char* data = padded_.data();
  cost_.resize(size + 1);
  std::uint16_t* cost = cost_.data();
  cost[size] = 0;
  const std::uint8_t* longest = longest_.data();

  // Each price depends most on the three after it. Those stay in registers:
  // reading them back from memory would put a store and a load on every
  // step's critical path. Beyond the end they are never used.
  unsigned next1 = 0, next2 = 0, next3 = 0;
  for (std::size_t i = size; i-- != 0;) {
    const unsigned char b = data[i];
    unsigned best = UINT_MAX;
    if (isPlain(b)) {
      best = 1 + next1;
    } else {
      // A run that starts at a plain byte never beats that byte as a literal
      // followed by the rest of the run, so runs are priced only here.
      const std::size_t runMax = std::min(kMaxRun, size - i);
      for (std::size_t k = 1; k <= runMax; ++k) best = std::min(best, static_cast<unsigned>(1 + k) + cost[i + k]);
    }
    best = std::min(best, (1 + next2) | excludedIf(!startsSpacePair(data, i)));
    const unsigned reach = longest[i];
    unsigned nearest = next3 | excludedIf(reach < kMinMatch);
    for (unsigned length = kMinMatch + 1; length <= reach; ++length)
      nearest = std::min<unsigned>(nearest, cost[i + length]);
    best = std::min(best, 2 + std::min(nearest, 0xFFFFu));
    cost[i] = static_cast<std::uint16_t>(best);
    next3 = next2;
    next2 = next1;
    next1 = best;
  }
}

void PalmDocCompressor::compressRecord(std::string_view record, std::string& out) {
  const std::size_t size = record.size();
  if (size == 0) return;
  padded_.assign(record.begin(), record.end());
  padded_.resize(size + kPadding, 0);
  findMatches(size);
  priceRest(size);

  // Walks forward through the cheapest parse, taking at each token start the
  // first choice, in the order below, whose price adds up.
  const unsigned char* data = padded_.data();
  const std::uint16_t* cost = cost_.data();
  const std::size_t start = out.size();
  out.resize(start + cost[0]);
  auto* o = reinterpret_cast<unsigned char*>(out.data() + start);
  for (std::size_t i = 0; i < size;) {
    const unsigned here = cost[i];
    std::size_t length = longest_[i];
    while (length >= kMinMatch && 2u + cost[i + length] != here) --length;
    if (length >= kMinMatch) {
      const unsigned v = 0x8000u | static_cast<unsigned>(distance_[i]) << 3 | static_cast<unsigned>(length - kMinMatch);
      *o++ = static_cast<unsigned char>(v >> 8);
      *o++ = static_cast<unsigned char>(v & 0xFF);
      i += length;
    } else if (startsSpacePair(data, i) && 1u + cost[i + 2] == here) {
      *o++ = static_cast<unsigned char>(data[i + 1] ^ 0x80);
      i += 2;
    } else if (isPlain(data[i])) {
      *o++ = data[i++];
    } else {
      std::size_t run = 1;
      while (1 + run + cost[i + run] != here) ++run;
      *o++ = static_cast<unsigned char>(run);
      std::memcpy(o, data + i, run);
      o += run;
      i += run;
    }
  }
}

std::string compressPalmDocRecord(std::string_view record) {
  PalmDocCompressor compressor;
  std::string out;
  compressor.compressRecord(record, out);
  return out;
}

}  // namespace palm
