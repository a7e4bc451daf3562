// The text rules applied to a document's bytes before they become a database.
#pragma once

#include <core/ConversionSettings.h>

#include <cstddef>
#include <string>
#include <vector>

namespace folivo {

class ProgressScope;

// What preparing a text found, and places in it to carry through the rules.
struct PreparationDetails {
    // Decoded references the hand-held's set lacks (see HandheldCharset.h): added to.
    std::size_t replaced = 0;
    // The start of the first tag that never closes (a few bytes, up to its
    // line's end), when HTML tags are removed; else left as it is.
    std::string unclosedTag;
    // Ascending offsets into the text, each moved to the offset its byte has
    // afterwards (or, for a byte the rules drop, the next kept byte's).
    std::vector<std::size_t>* places = nullptr;
};

// Applies the text rules of `rules` to the n bytes at `text`, in place, and
// returns the new length (never more than n). Two linear passes:
//
// 1. removes "&nbsp;" and every tag, from a '<' that starts one (before a
//    letter, '/', '!' or '?') to the next '>', when HTML tags are removed; a
//    tag with no '>' after it never closes and is kept as text, with all
//    after it. Then, with the
//    hand-held's character set too, decodes every other character reference
//    (DecodeCharacterReference) once; drops control bytes
//    below 0x20 other than tab, LF and CR unless low ASCII is allowed; turns
//    tabs into LF when asked; removes, then translates, CR and LF bytes,
//    decoded ones included;
// 2. when single line breaks are ignored, turns each byte of a single line
//    break (LF, CR, CR LF or LF CR between two other bytes) into a space, so
//    the length stays. A break at the very start has no line before it to
//    join and is kept, and the last byte is never changed.
//
// `progress`, when given, steps once per twentieth of the first pass; what
// the pass finds goes to `*details`, when given.
std::size_t PrepareTextBytes(unsigned char* text, std::size_t n, const ConversionSettings& rules,
                             ProgressScope* progress, PreparationDetails* details = nullptr);

}  // namespace folivo
