// Whether every back-reference of a compressed PalmDoc record stays inside the
// record and never overlaps the bytes it produces (shared with the fuzzer).
#pragma once

#include <cstddef>
#include <string_view>

namespace palmtest {

inline bool ReferencesAreSafe(std::string_view compressed)
{
    std::size_t produced = 0;
    for (std::size_t i = 0; i < compressed.size();) {
        const unsigned char b = static_cast<unsigned char>(compressed[i++]);
        if (b >= 0x80 && b < 0xC0) {
            if (i == compressed.size())
                return false;
            const unsigned v = (b << 8 | static_cast<unsigned char>(compressed[i++])) & 0x3FFF;
            const std::size_t distance = v >> 3, length = (v & 7) + 3;
            if (distance < length || distance > produced)
                return false;
            produced += length;
        } else {
            const std::size_t run = b >= 1 && b <= 8 ? b : 0;
            produced += b >= 0xC0 ? 2 : run ? run : 1;
            i += run;
        }
    }
    return true;
}

}  // namespace palmtest
