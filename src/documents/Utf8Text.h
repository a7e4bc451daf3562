// UTF-8 as the layout checks it: well-formed sequences only, and a text that
// arrives in pieces checked piece by piece.
#pragma once

#include <cstddef>
#include <string_view>

namespace documents {

// How many bytes the sequence a lead byte starts has; 0 for no lead byte.
inline int Utf8LeadLength(unsigned char b)
{
    return b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
}

// The length of the well-formed UTF-8 sequence at `p`, or 0 for a stray
// continuation byte, an overlong form, a surrogate, a value past U+10FFFF or
// a sequence `end` cuts short. Inline: the checks run it on every character
// past ASCII.
inline int Utf8Length(const unsigned char* p, const unsigned char* end)
{
    const unsigned char b = *p;
    if (b < 0x80)
        return 1;
    const int length = Utf8LeadLength(b);
    if (length == 0 || end - p < length)
        return 0;
    for (int k = 1; k < length; ++k)
        if ((p[k] & 0xC0) != 0x80)
            return 0;
    if ((b == 0xE0 && p[1] < 0xA0) || (b == 0xED && p[1] > 0x9F) || (b == 0xF0 && p[1] < 0x90) ||
        (b == 0xF4 && p[1] > 0x8F))
        return 0;
    return length;
}

// How much of `bytes` is well-formed UTF-8 from its start. `broken` is set
// when what follows is no UTF-8; unless `last`, a character whose last bytes
// are still to come stops the count without it.
std::size_t Utf8Prefix(std::string_view bytes, bool last, bool& broken);

bool ValidUtf8(std::string_view bytes);

}  // namespace documents
