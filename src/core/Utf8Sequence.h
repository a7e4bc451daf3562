// Reading UTF-8 one character at a time. Every reader of UTF-8 in this layer
// uses it, so that all agree on what is malformed.
#pragma once

namespace folivo {

inline constexpr char32_t kMalformedUtf8 = 0xFFFFFFFF;

// The character of the UTF-8 sequence at p, which is before end, with p moved
// past it; kMalformedUtf8, with p past the maximal ill-formed subsequence, when
// there is none. The ranges of the second byte rule out overlong forms,
// surrogates and numbers beyond U+10FFFF.
inline char32_t NextUtf8(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char lead = *p++;
    if (lead < 0x80)
        return lead;
    int follow;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        follow = 1;
    else if (lead >= 0xE0 && lead <= 0xEF)
        follow = 2;
    else if (lead >= 0xF0 && lead <= 0xF4)
        follow = 3;
    else
        return kMalformedUtf8;
    if (lead == 0xE0)
        low = 0xA0;
    else if (lead == 0xED)
        high = 0x9F;
    else if (lead == 0xF0)
        low = 0x90;
    else if (lead == 0xF4)
        high = 0x8F;
    char32_t c = lead & (0x3F >> follow);
    for (; follow > 0; --follow) {
        if (p == end || *p < low || *p > high)
            return kMalformedUtf8;
        c = c << 6 | (*p++ & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return c;
}

}  // namespace folivo
