// Unicode text in the hand-held's character set, Windows-1252.
//
// The hand-held shows every byte of a book as a Windows-1252 character. A
// document in UTF-8 or UTF-16 is converted before the text rules run; any
// other document is taken to be 8-bit text already and is kept byte for byte.
//
// A character Windows-1252 lacks is written in its closest plain form where
// one is obvious: a letter with a mark the code page lacks becomes the bare
// letter, a ligature its letters, a compatibility form (full-width, math,
// circled, superscript) its plain letters, any other space a space, any other
// dash '-', any other quote '"' or '\''. Combining marks and invisible format
// characters are dropped, except that a letter followed by a combining mark
// that together make a Windows-1252 letter becomes that letter. Anything else
// becomes '?'. Each character written in any of these ways other than as
// itself counts as one replacement, for the caller to report.
//
// After conversion every character is one byte, so a title or name cut to a
// number of bytes is never cut inside a character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace folivo {

enum class TextEncoding {
    EightBit,  // ASCII, Windows-1252 or any other 8-bit text: kept as it is
    Utf8,      // well-formed UTF-8 without a byte-order mark
    Utf8Bom,   // begins with the UTF-8 byte-order mark
    Utf16LE,   // begins with the byte-order mark FF FE
    Utf16BE,   // begins with the byte-order mark FE FF
};

// How the document `bytes` is encoded: by its byte-order mark when it begins
// with one; otherwise Utf8 when it is well-formed UTF-8 with at least one
// character beyond ASCII; otherwise EightBit, so pure ASCII and any text with
// a single malformed sequence are left alone. Reads each byte at most once.
TextEncoding DetectEncoding(std::string_view bytes) noexcept;

// Appends to `out` the Windows-1252 form of `bytes` read as `from`, and
// returns the number of replacements. EightBit text is appended unchanged.
// A leading byte-order mark is dropped; one further inside is an invisible
// character and is dropped and counted.
//
// Malformed input becomes '?', counted: in UTF-8 each maximal ill-formed
// subsequence (a lead byte and the continuation bytes that still fit it, or a
// lone byte that cannot start a sequence), as the Unicode standard recommends
// and browsers do; in UTF-16 each unpaired surrogate and an odd last byte.
//
// Linear, with one pass over `bytes` and `out` grown once. From UTF-8 the
// result is never longer than the input.
std::size_t ToHandheldCharset(std::string_view bytes, TextEncoding from, std::string& out);

// `text`, a short string such as a bookmark pattern or a database title,
// converted as a whole document would be: DetectEncoding, then
// ToHandheldCharset. Adds the replacements to `*replaced` when given.
std::string ToHandheldString(std::string_view text, std::size_t* replaced = nullptr);

// One HTML character reference, decoded to Windows-1252.
struct DecodedReference {
    std::size_t length = 0;    // bytes of the reference, '&' to ';'; 0 when there is none
    std::size_t replaced = 0;  // its characters not written as themselves
    std::uint8_t size = 0;     // decoded bytes in `bytes`, never more than `length`
    char bytes[8] = {};

    std::string_view Text() const { return {bytes, size}; }
};

// Decodes the character reference `text` begins with: "&name;" for any of
// HTML's named references, "&#123;" or "&#x7B;" (any case of x and of the hex
// digits) for a numeric one. Numbers 0x80..0x9F are the Windows-1252 bytes of
// those values, as in HTML; 0, surrogates and numbers beyond 0x10FFFF become
// '?'. Every other character is written as ToHandheldCharset writes it.
// Without the ';', or with a name HTML does not know, there is no reference:
// the result's length is 0.
//
// The decoded bytes are never longer than the reference, so a caller may
// write them over it in place. A caller that goes on reading after the
// reference, never over what it wrote, decodes each reference once:
// "&amp;lt;" becomes "&lt;", and a decoded '<' starts no tag.
DecodedReference DecodeCharacterReference(std::string_view text) noexcept;

}  // namespace folivo
