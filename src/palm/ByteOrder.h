// Big-endian field access for Palm database layouts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace palm {

inline void putU16(std::string& out, std::uint32_t v) {
  out += static_cast<char>((v >> 8) & 0xFF);
  out += static_cast<char>(v & 0xFF);
}

inline void putU32(std::string& out, std::uint32_t v) {
  putU16(out, v >> 16);
  putU16(out, v & 0xFFFF);
}

// Callers check that offset + 2 (or + 4) lies inside bytes.
inline std::uint16_t getU16(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) << 8 |
                                    static_cast<unsigned char>(bytes[offset + 1]));
}

inline std::uint32_t getU32(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(getU16(bytes, offset)) << 16 | getU16(bytes, offset + 2);
}

// A NUL-padded fixed-width name field: the bytes before the first NUL.
inline std::string fixedName(std::string_view field) {
  return std::string(field.substr(0, field.find('\0')));
}

}  // namespace palm
