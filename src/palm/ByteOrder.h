// Big-endian field access for Palm database layouts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace palm {

inline void PutU16(std::string& out, std::uint32_t v)
{
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}

inline void PutU32(std::string& out, std::uint32_t v)
{
    PutU16(out, v >> 16);
    PutU16(out, v & 0xFFFF);
}

// Callers check that offset + 2 (or + 4) lies inside bytes.
inline std::uint16_t GetU16(std::string_view bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) << 8 |
                                      static_cast<unsigned char>(bytes[offset + 1]));
}

inline std::uint32_t GetU32(std::string_view bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(GetU16(bytes, offset)) << 16 | GetU16(bytes, offset + 2);
}

// A NUL-padded fixed-width name field: the bytes before the first NUL.
inline std::string FixedName(std::string_view field)
{
    return std::string(field.substr(0, field.find('\0')));
}

}  // namespace palm
