#include "PalmDocDecompressor.h"

namespace palm {

PalmDocFault DecodePalmDocRecord(std::string_view record, std::string& out, std::size_t maxSize, bool keepGoing)
{
    const std::size_t start = out.size();
    const auto* in = reinterpret_cast<const unsigned char*>(record.data());
    const std::size_t size = record.size();
    auto room = [&](std::size_t n) { return out.size() - start + n <= maxSize; };
    PalmDocFault first = PalmDocFault::None;
    // Where decoding must end, the fault met before this one stays the one told.
    auto end = [&first](PalmDocFault fault) { return first == PalmDocFault::None ? fault : first; };

    for (std::size_t i = 0; i < size;) {
        const unsigned char b = in[i++];
        if (b >= 0x01 && b <= 0x08) {
            if (size - i < b)
                return end(PalmDocFault::CutShort);
            if (!room(b))
                return end(PalmDocFault::TooLong);
            out.append(record.substr(i, b));
            i += b;
        } else if (b < 0x80) {
            if (!room(1))
                return end(PalmDocFault::TooLong);
            out += static_cast<char>(b);
        } else if (b >= 0xC0) {
            if (!room(2))
                return end(PalmDocFault::TooLong);
            out += ' ';
            out += static_cast<char>(b ^ 0x80);
        } else {
            if (i == size)
                return end(PalmDocFault::CutShort);
            const unsigned v = (static_cast<unsigned>(b) << 8 | in[i++]) & 0x3FFF;
            const std::size_t distance = v >> 3;
            const std::size_t length = (v & 7) + 3;
            if (!room(length))
                return end(PalmDocFault::TooLong);
            if (distance == 0 || distance > out.size() - start) {
                if (first == PalmDocFault::None)
                    first = distance == 0 ? PalmDocFault::DistanceZero : PalmDocFault::BeforeStart;
                if (!keepGoing)
                    return first;
                out.append(length, '?');
                continue;
            }
            // Byte by byte: an overlapping reference repeats what it has just written.
            for (std::size_t k = 0; k < length; ++k)
                out += out[out.size() - distance];
        }
    }
    return first;
}

}  // namespace palm
