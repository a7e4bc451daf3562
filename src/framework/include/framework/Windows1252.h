// The part of the Windows-1252 code page that differs from ISO 8859-1.
#pragma once

#include <algorithm>
#include <array>
#include <utility>

namespace folivo {

// The characters bytes 0x80..0x9F stand for. The five bytes the code page
// leaves unassigned (0x81 0x8D 0x8F 0x90 0x9D) stand for the C1 controls of
// the same value, as the system's own conversion tables have it. Every other
// byte is the character of the same value.
inline constexpr char16_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The characters of bytes 0x80..0x9F with their bytes, sorted by character.
inline constexpr auto kWindows1252HighBytes = [] {
    std::array<std::pair<char16_t, unsigned char>, 32> sorted{};
    for (int i = 0; i < 32; ++i)
        sorted[i] = {kWindows1252High[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}();

// The character a byte stands for.
char16_t Cp1252ToUnicode(unsigned char byte);

// True, with `byte` set, when the code page has the character. Inline: the
// conversion of a book asks it for every character beyond ASCII.
inline bool UnicodeToCp1252(char16_t c, unsigned char& byte)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        byte = static_cast<unsigned char>(c);
        return true;
    }
    const auto at = std::lower_bound(kWindows1252HighBytes.begin(), kWindows1252HighBytes.end(), c,
                                     [](const auto& entry, char16_t x) { return entry.first < x; });
    if (at == kWindows1252HighBytes.end() || at->first != c)
        return false;
    byte = at->second;
    return true;
}

}  // namespace folivo
