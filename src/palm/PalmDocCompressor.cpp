#include "PalmDocCompressor.h"

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
bool IsPlain(unsigned char b)
{
    return b == 0 || (b >= 0x09 && b <= 0x7F);
}

// A space and a byte 0x40..0x7F go out as one byte. `data` is padded, and
// the padding's zero byte never pairs.
bool StartsSpacePair(const unsigned char* data, std::size_t i)
{
    return (data[i] == ' ') & (static_cast<unsigned char>(data[i + 1] - 0x40) < 0x40);
}

// Eight bytes with the first one lowest, whatever the machine's byte order.
std::uint64_t Load64(const unsigned char* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::big)
        v = __builtin_bswap64(v);
    return v;
}

// Two bytes with the first one lowest.
unsigned Load16(const unsigned char* p)
{
    return p[0] | static_cast<unsigned>(p[1]) << 8;
}

template <unsigned Bits>
unsigned HashLow(std::uint64_t bytes, unsigned count)
{
    return static_cast<unsigned>(((bytes << (64 - 8 * count)) * 0x9E3779B97F4A7C15ull) >> (64 - Bits));
}

// All ones when the condition holds: OR-ing it into a price rules the price
// out of a minimum without a branch.
unsigned ExcludedIf(bool condition)
{
    return 0u - static_cast<unsigned>(condition);
}

struct Match {
    std::size_t length = 0;
    std::size_t distance = 0;
};

// The bytes at one position of the padded record, and the back-references for them.
class Position {
public:
    Position(const unsigned char* data, std::size_t size, std::size_t i)
        : m_data(data), m_i(i), m_maxLength(std::min(kMaxMatch, size - i)), m_here(Load64(data + i)),
          m_next(Load16(data + i + 8))
    {
    }

    std::size_t MaxLength() const { return m_maxLength; }

    // Distance back to a stored position; an empty slot is out of reach.
    std::size_t DistanceTo(std::size_t stored) const { return m_i + kStoredBias - stored; }
    std::uint64_t Bytes() const { return m_here; }

    // Length of the usable reference at this distance (0 gives 0): no longer
    // than the distance, so it never overlaps its own output.
    [[gnu::always_inline]] std::size_t LengthAt(std::size_t distance) const
    {
        const std::size_t p = m_i - distance;
        const std::size_t edge = std::min(m_maxLength, distance);
        // countr_zero of 0 is 64: all eight bytes agree, and then the next two
        // decide. Both are worked out and one picked, without a branch.
        const std::size_t head = static_cast<std::size_t>(std::countr_zero(Load64(m_data + p) ^ m_here)) / 8;
        const std::size_t tail =
            static_cast<std::size_t>(std::countr_zero((Load16(m_data + p + 8) ^ m_next) | 0x10000u)) / 8;
        return std::min(head == 8 ? 8 + tail : head, edge);
    }

    // Walks a hash chain from `first` (a stored position) and raises best to
    // the longest reference found within reach, stopping once it has `enough`.
    [[gnu::always_inline]] void SearchChain(const std::uint16_t* chain, std::size_t first, std::size_t enough,
                                            Match& best) const
    {
        unsigned tries = kMaxTries;
        for (std::size_t candidate = first; tries-- != 0; candidate = chain[candidate - kStoredBias]) {
            const std::size_t distance = DistanceTo(candidate);
            if (distance > kMaxDistance)
                return;
            // Selected rather than branched on: whether a candidate is longer is
            // the least predictable question here.
            const std::size_t length = LengthAt(distance);
            const bool longer = length > best.length;
            best.distance = longer ? distance : best.distance;
            best.length = longer ? length : best.length;
            if (best.length >= enough)
                return;
        }
    }

private:
    const unsigned char* m_data;
    std::size_t m_i;
    std::size_t m_maxLength;
    std::uint64_t m_here;  // the eight bytes at the position
    unsigned m_next;       // and the two after them
};

// The positions of a record filed by the hash of their first KeyLength bytes:
// a table from hash to the latest position, and a chain from each position to
// the one before it with the same hash.
template <std::size_t KeyLength, unsigned HashBits>
class HashChains {
public:
    HashChains(std::vector<std::uint16_t>& head, std::vector<std::uint16_t>& chain, std::size_t size)
    {
        head.assign(std::size_t{1} << HashBits, 0);
        chain.resize(size);
        // Raw pointers: stores through the byte-sized arrays would otherwise make
        // the compiler reload every vector's data pointer after each one.
        m_head = head.data();
        m_chain = chain.data();
    }

    // Raises best from the earlier positions with the same key, unless it
    // already has `enough`, then files the position itself.
    [[gnu::always_inline]] void SearchAndFile(const Position& here, std::size_t i, std::size_t enough, Match& best)
    {
        const unsigned h = HashLow<HashBits>(here.Bytes(), KeyLength);
        if (best.length < enough)
            here.SearchChain(m_chain, m_head[h], enough, best);
        m_chain[i] = m_head[h];
        m_head[h] = static_cast<std::uint16_t>(i + kStoredBias);
    }

private:
    std::uint16_t* m_head;
    std::uint16_t* m_chain;
};

}  // namespace

void PalmDocCompressor::FindMatches(std::size_t size)
{
    HashChains<6, kHashBits> six(m_head[0], m_chain[0], size);
    HashChains<4, kHashBits> four(m_head[1], m_chain[1], size);
    HashChains<3, kHashBits + 1> three(m_head[2], m_chain[2], size);
    m_longest.assign(size, 0);
    m_distance.resize(size);
    const unsigned char* data = m_padded.data();
    std::uint8_t* longest = m_longest.data();
    std::uint16_t* distance = m_distance.data();

    std::size_t previousDistance = 0;
    for (std::size_t i = 0; i + kMinMatch <= size; ++i) {
        const Position here(data, size, i);
        const std::size_t most = here.MaxLength();
        // Inside a repeated stretch the previous position's distance usually
        // reaches as far as any: when it gives the longest possible reference the
        // chains have nothing better to offer.
        Match best{here.LengthAt(previousDistance), previousDistance};
        // References of 6 bytes and more share the first six, so the 6-byte
        // chain, much shorter than the 4-byte one in text, finds them all. What
        // it leaves is at most 5 long, and then at most 3: the shorter keys' walks
        // stop at the first reference that long.
        six.SearchAndFile(here, i, most, best);
        four.SearchAndFile(here, i, std::min<std::size_t>(5, most), best);
        three.SearchAndFile(here, i, kMinMatch, best);

        longest[i] = static_cast<std::uint8_t>(best.length < kMinMatch ? 0 : best.length);
        distance[i] = static_cast<std::uint16_t>(best.distance);
        previousDistance = best.length < kMinMatch ? 0 : best.distance;
    }
}

void PalmDocCompressor::PriceRest(std::size_t size)
{
    const unsigned char* data = m_padded.data();
    m_cost.resize(size + 1);
    std::uint16_t* cost = m_cost.data();
    cost[size] = 0;
    const std::uint8_t* longest = m_longest.data();

    // Each price depends most on the three after it. Those stay in registers:
    // reading them back from memory would put a store and a load on every
    // step's critical path. Beyond the end they are never used.
    unsigned next1 = 0, next2 = 0, next3 = 0;
    for (std::size_t i = size; i-- != 0;) {
        const unsigned char b = data[i];
        unsigned best = UINT_MAX;
        if (IsPlain(b)) {
            best = 1 + next1;
        } else {
            // A run that starts at a plain byte never beats that byte as a literal
            // followed by the rest of the run, so runs are priced only here.
            const std::size_t runMax = std::min(kMaxRun, size - i);
            for (std::size_t k = 1; k <= runMax; ++k)
                best = std::min(best, static_cast<unsigned>(1 + k) + cost[i + k]);
        }
        best = std::min(best, (1 + next2) | ExcludedIf(!StartsSpacePair(data, i)));
        const unsigned reach = longest[i];
        unsigned nearest = next3 | ExcludedIf(reach < kMinMatch);
        for (unsigned length = kMinMatch + 1; length <= reach; ++length)
            nearest = std::min<unsigned>(nearest, cost[i + length]);
        best = std::min(best, 2 + std::min(nearest, 0xFFFFu));
        cost[i] = static_cast<std::uint16_t>(best);
        next3 = next2;
        next2 = next1;
        next1 = best;
    }
}

void PalmDocCompressor::CompressRecord(std::string_view record, std::string& out)
{
    const std::size_t size = record.size();
    if (size == 0)
        return;
    m_padded.assign(record.begin(), record.end());
    m_padded.resize(size + kPadding, 0);
    FindMatches(size);
    PriceRest(size);

    // Walks forward through the cheapest parse, taking at each token start the
    // first choice, in the order below, whose price adds up.
    const unsigned char* data = m_padded.data();
    const std::uint16_t* cost = m_cost.data();
    const std::size_t start = out.size();
    out.resize(start + cost[0]);
    auto* o = reinterpret_cast<unsigned char*>(out.data() + start);
    for (std::size_t i = 0; i < size;) {
        const unsigned here = cost[i];
        std::size_t length = m_longest[i];
        while (length >= kMinMatch && 2u + cost[i + length] != here)
            --length;
        if (length >= kMinMatch) {
            const unsigned v =
                0x8000u | static_cast<unsigned>(m_distance[i]) << 3 | static_cast<unsigned>(length - kMinMatch);
            *o++ = static_cast<unsigned char>(v >> 8);
            *o++ = static_cast<unsigned char>(v & 0xFF);
            i += length;
        } else if (StartsSpacePair(data, i) && 1u + cost[i + 2] == here) {
            *o++ = static_cast<unsigned char>(data[i + 1] ^ 0x80);
            i += 2;
        } else if (IsPlain(data[i])) {
            *o++ = data[i++];
        } else {
            std::size_t run = 1;
            while (1 + run + cost[i + run] != here)
                ++run;
            *o++ = static_cast<unsigned char>(run);
            std::memcpy(o, data + i, run);
            o += run;
            i += run;
        }
    }
}

std::string CompressPalmDocRecord(std::string_view record)
{
    PalmDocCompressor compressor;
    std::string out;
    compressor.CompressRecord(record, out);
    return out;
}

}  // namespace palm
