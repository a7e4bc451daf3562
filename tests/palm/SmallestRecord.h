// The size of the smallest PalmDoc record the format allows for some bytes,
// found the slow and obvious way: every distance is compared at every
// position, then the cheapest parse is priced. Used by the tests to check the
// compressor and by the benchmark to show how far any compressor could go.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace palmtest {

inline std::size_t SmallestRecordSize(std::string_view text)
{
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    // cost[i]: the fewest bytes that encode data[i..size).
    std::vector<std::size_t> cost(size + 1, 0);
    for (std::size_t i = size; i-- != 0;) {
        const unsigned char b = data[i];
        std::size_t best = SIZE_MAX;
        if (b == 0 || (b >= 0x09 && b <= 0x7F))
            best = 1 + cost[i + 1];
        for (std::size_t run = 1; run <= 8 && i + run <= size; ++run)
            best = std::min(best, 1 + run + cost[i + run]);
        if (b == ' ' && i + 1 < size && data[i + 1] >= 0x40 && data[i + 1] <= 0x7F)
            best = std::min(best, 1 + cost[i + 2]);
        // A reference of length 3..10 from 1..2047 bytes back that does not
        // overlap the bytes it produces.
        std::size_t longest = 0;
        for (std::size_t distance = 3; distance <= std::min<std::size_t>(2047, i); ++distance) {
            std::size_t length = 0;
            const std::size_t edge = std::min({std::size_t{10}, distance, size - i});
            while (length < edge && data[i - distance + length] == data[i + length])
                ++length;
            longest = std::max(longest, length);
        }
        for (std::size_t length = 3; length <= longest; ++length)
            best = std::min(best, 2 + cost[i + length]);
        cost[i] = best;
    }
    return cost[0];
}

}  // namespace palmtest
