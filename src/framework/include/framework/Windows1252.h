// The part of the Windows-1252 code page that differs from ISO 8859-1.
#pragma once

namespace folivo {

// The characters bytes 0x80..0x9F stand for. The five bytes the code page
// leaves unassigned (0x81 0x8D 0x8F 0x90 0x9D) stand for the C1 controls of
// the same value, as the system's own conversion tables have it. Every other
// byte is the character of the same value.
inline constexpr char16_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace folivo
