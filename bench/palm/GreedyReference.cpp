#include "GreedyReference.h"

#include <algorithm>
#include <vector>

namespace {

bool NeedsEscape(unsigned char b)
{
    return (b >= 0x01 && b <= 0x08) || b >= 0x80;
}

unsigned Key(const unsigned char* p)
{
    return (p[0] << 8 ^ p[1] << 4 ^ p[2]) & 0xFFFF;
}

}  // namespace

std::size_t GreedyRecordSize(std::string_view record)
{
    const auto* d = reinterpret_cast<const unsigned char*>(record.data());
    const std::size_t n = record.size();
    // Every earlier position, chained by a key of its first three bytes, so
    // that the search below sees each candidate in reach (exhaustively).
    std::vector<long> head(1 << 16, -1), previous(n, -1);
    std::size_t indexed = 0;

    std::size_t size = 0;
    for (std::size_t i = 0; i < n;) {
        for (; indexed < i && indexed + 3 <= n; ++indexed) {
            const unsigned k = Key(d + indexed);
            previous[indexed] = head[k];
            head[k] = static_cast<long>(indexed);
        }
        std::size_t best = 0;
        if (i > 10 && n - i > 10) {
            for (long p = head[Key(d + i)]; p >= 0 && i - static_cast<std::size_t>(p) <= 2047; p = previous[p]) {
                const std::size_t distance = i - static_cast<std::size_t>(p);
                const std::size_t limit = std::min<std::size_t>({10, n - i, distance});
                std::size_t length = 0;
                while (length < limit && d[p + length] == d[i + length])
                    ++length;
                best = std::max(best, length);
            }
        }
        if (best >= 3) {
            size += 2;
            i += best;
        } else if (d[i] == ' ' && i + 1 < n && d[i + 1] >= 0x40 && d[i + 1] <= 0x7F) {
            size += 1;
            i += 2;
        } else if (NeedsEscape(d[i])) {
            std::size_t run = 1;
            while (run < 8 && i + run < n && NeedsEscape(d[i + run]))
                ++run;
            size += 1 + run;
            i += run;
        } else {
            size += 1;
            i += 1;
        }
    }
    return size;
}
