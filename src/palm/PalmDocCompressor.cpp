#include <palm/PalmDocCompressor.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace palm {

namespace {

constexpr std::size_t kMaxDistance = 2047;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 10;
constexpr std::size_t kMaxRun = 8;
constexpr unsigned kHash3Bits = 12;
constexpr unsigned kHash4Bits = 13;
// How many earlier positions with the same hash are tried. Deeper search
// finds almost nothing more in text and costs speed.
constexpr unsigned kLongChain = 32;
constexpr unsigned kShortChain = 4;

enum Kind : std::uint8_t { kLiteral = 0, kSpacePair = 1, kMatch = 2, kRun = 3 };

constexpr std::uint8_t token(Kind kind, std::size_t length) {
  return static_cast<std::uint8_t>(kind << 4 | length);
}

// Bytes that stand for themselves: 0x00 and 0x09..0x7F.
bool isPlain(unsigned char b) { return b == 0 || (b >= 0x09 && b <= 0x7F); }

unsigned hash3(const unsigned char* p) {
  const std::uint32_t v = p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16;
  return (v * 2654435761u) >> (32 - kHash3Bits);
}

unsigned hash4(const unsigned char* p) {
  const std::uint32_t v = p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
                          static_cast<std::uint32_t>(p[3]) << 24;
  return (v * 2654435761u) >> (32 - kHash4Bits);
}

// Eight bytes with the first one lowest, whatever the machine's byte order.
std::uint64_t load64(const unsigned char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

struct Match {
  std::size_t length = 0;
  std::size_t distance = 0;
};

// The bytes at one position of the record, and the back-references for them.
class Position {
 public:
  Position(const unsigned char* data, std::size_t size, std::size_t i)
      : data_(data), i_(i), maxLength_(std::min(kMaxMatch, size - i)), wide_(size - i >= 8),
        here_(wide_ ? load64(data + i) : 0) {}

  std::size_t maxLength() const { return maxLength_; }

  // Length of the usable reference at this distance: no longer than the
  // distance, so it never overlaps its own output.
  [[gnu::always_inline]] std::size_t lengthAt(std::size_t distance) const {
    const std::size_t p = i_ - distance;
    const std::size_t edge = std::min(maxLength_, distance);
    std::size_t length = 0;
    if (wide_) {
      const std::uint64_t diff = load64(data_ + p) ^ here_;
      length = diff == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(diff)) / 8;
    }
    if (length == 8 || !wide_)
      while (length < edge && data_[p + length] == data_[i_ + length]) ++length;
    return std::min(length, edge);
  }

  // Walks a hash chain from `first` (a position + 1) and raises best to the
  // longest reference found within reach, stopping early once it has `enough`.
  [[gnu::always_inline]] void searchChain(const std::uint16_t* chain, std::size_t first, unsigned tries,
                                          std::size_t enough, Match& best) const {
    for (std::size_t candidate = first; candidate != 0 && tries-- != 0; candidate = chain[candidate - 1]) {
      const std::size_t distance = i_ - (candidate - 1);
      if (distance > kMaxDistance) return;
      const std::size_t length = lengthAt(distance);
      if (length > best.length) {
        best = {length, distance};
        if (length >= enough) return;
      }
    }
  }

 private:
  const unsigned char* data_;
  std::size_t i_;
  std::size_t maxLength_;
  bool wide_;
  std::uint64_t here_;
};

}  // namespace

void PalmDocCompressor::findMatches(const unsigned char* data, std::size_t size) {
  head3_.assign(std::size_t{1} << kHash3Bits, 0);
  head4_.assign(std::size_t{1} << kHash4Bits, 0);
  chain3_.resize(size);
  chain4_.resize(size);
  longest_.assign(size, 0);
  distance_.resize(size);
  // Raw pointers: stores through the byte-sized arrays would otherwise make
  // the compiler reload every vector's data pointer after each one.
  std::uint16_t* head3 = head3_.data();
  std::uint16_t* head4 = head4_.data();
  std::uint16_t* chain3 = chain3_.data();
  std::uint16_t* chain4 = chain4_.data();
  std::uint8_t* longest = longest_.data();
  std::uint16_t* distance = distance_.data();

  std::size_t previousDistance = 0;
  for (std::size_t i = 0; i + kMinMatch <= size; ++i) {
    const Position here(data, size, i);
    Match best;
    // Inside a repeated stretch the previous position's distance usually
    // reaches as far as any: when it gives the longest possible reference the
    // chains have nothing better to offer.
    if (previousDistance != 0 && previousDistance <= i) best = {here.lengthAt(previousDistance), previousDistance};
    const bool settled = best.length == here.maxLength();
    // Matches of 4 bytes and more come from the 4-byte chain, whose entries are
    // far fewer than the 3-byte chain's in text; the 3-byte chain is asked only
    // for a 3-byte reference when that found nothing.
    if (i + 4 <= size) {
      const unsigned h4 = hash4(data + i);
      if (!settled) here.searchChain(chain4, head4[h4], kLongChain, here.maxLength(), best);
      chain4[i] = head4[h4];
      head4[h4] = static_cast<std::uint16_t>(i + 1);
    }
    const unsigned h3 = hash3(data + i);
    if (best.length < kMinMatch) here.searchChain(chain3, head3[h3], kShortChain, kMinMatch, best);
    chain3[i] = head3[h3];
    head3[h3] = static_cast<std::uint16_t>(i + 1);

    if (best.length >= kMinMatch) {
      longest[i] = static_cast<std::uint8_t>(best.length);
      distance[i] = static_cast<std::uint16_t>(best.distance);
      previousDistance = best.distance;
    } else {
      previousDistance = 0;
    }
  }
}

void PalmDocCompressor::chooseTokens(const unsigned char* data, std::size_t size) {
  cost_.resize(size + 1);
  token_.resize(size);
  std::uint32_t* cost = cost_.data();
  std::uint8_t* tokens = token_.data();
  const std::uint8_t* longest = longest_.data();

  cost[size] = 0;
  for (std::size_t i = size; i-- != 0;) {
    const unsigned char b = data[i];
    std::uint32_t best = UINT32_MAX;
    std::uint8_t choice = 0;
    if (isPlain(b)) {
      best = 1 + cost[i + 1];
      choice = token(kLiteral, 1);
    } else {
      // A run that starts at a plain byte never beats that byte as a literal
      // followed by the rest of the run, so runs are tried only here.
      const std::size_t runMax = std::min(kMaxRun, size - i);
      for (std::size_t k = 1; k <= runMax; ++k) {
        const std::uint32_t c = static_cast<std::uint32_t>(1 + k) + cost[i + k];
        if (c < best) best = c, choice = token(kRun, k);
      }
    }
    if (b == ' ' && i + 1 < size && data[i + 1] >= 0x40 && data[i + 1] <= 0x7F && 1 + cost[i + 2] <= best)
      best = 1 + cost[i + 2], choice = token(kSpacePair, 2);
    const std::size_t reach = longest[i];
    for (std::size_t length = kMinMatch; length <= reach; ++length) {
      if (2 + cost[i + length] <= best) best = 2 + cost[i + length], choice = token(kMatch, length);
    }
    cost[i] = best;
    tokens[i] = choice;
  }
}

void PalmDocCompressor::compressRecord(std::string_view record, std::string& out) {
  const auto* data = reinterpret_cast<const unsigned char*>(record.data());
  const std::size_t size = record.size();
  if (size == 0) return;
  findMatches(data, size);
  chooseTokens(data, size);

  const std::size_t start = out.size();
  out.resize(start + cost_[0]);
  auto* o = reinterpret_cast<unsigned char*>(out.data() + start);
  const std::uint8_t* tokens = token_.data();
  for (std::size_t i = 0; i < size;) {
    const Kind kind = static_cast<Kind>(tokens[i] >> 4);
    const std::size_t length = tokens[i] & 0x0F;
    switch (kind) {
      case kLiteral: *o++ = data[i]; break;
      case kSpacePair: *o++ = static_cast<unsigned char>(data[i + 1] ^ 0x80); break;
      case kMatch: {
        const unsigned v = 0x8000u | static_cast<unsigned>(distance_[i]) << 3 | static_cast<unsigned>(length - kMinMatch);
        *o++ = static_cast<unsigned char>(v >> 8);
        *o++ = static_cast<unsigned char>(v & 0xFF);
        break;
      }
      case kRun:
        *o++ = static_cast<unsigned char>(length);
        std::memcpy(o, data + i, length);
        o += length;
        break;
    }
    i += length;
  }
}

std::string compressPalmDocRecord(std::string_view record) {
  PalmDocCompressor compressor;
  std::string out;
  compressor.compressRecord(record, out);
  return out;
}

}  // namespace palm
