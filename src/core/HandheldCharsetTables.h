// The generated tables behind HandheldCharset.cpp (scripts/make_charset_tables.py).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace folivo::charset_tables {

// Code points first..last, which Windows-1252 lacks, all written as `text`:
// up to four bytes, fewer when it ends in a zero byte; none drops them.
struct PlainForm {
    std::uint32_t first;
    std::uint32_t last;
    unsigned char text[4];
};

// `base` followed by the combining mark `mark` reads as the byte `composed`.
struct Composition {
    std::uint16_t mark;
    unsigned char base;
    unsigned char composed;
};

// The reference "&name;" with name = kReferenceNames.substr(name, length)
// stands for one or two code points (the second 0 when there is one).
struct NamedReference {
    std::uint16_t name;
    std::uint8_t length;
    std::uint32_t codePoints[2];
};

// Sorted by code point.
extern const std::span<const PlainForm> kPlainForms;
// Sorted by mark, then base.
extern const std::span<const Composition> kCompositions;
extern const std::string_view kReferenceNames;
// Sorted by name.
extern const std::span<const NamedReference> kNamedReferences;

}  // namespace folivo::charset_tables
