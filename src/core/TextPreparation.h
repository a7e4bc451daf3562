// The text rules applied to a document's bytes before they become a database.
#pragma once

#include <core/ConversionSettings.h>

#include <cstddef>
#include <string>

namespace folivo {

class ProgressScope;

// Applies the text rules of `rules` to the n bytes at `text`, in place, and
// returns the new length (never more than n). Two linear passes:
//
// 1. removes "&nbsp;" and every tag, from a '<' that starts one (before a
//    letter, '/', '!' or '?') to the next '>', when HTML tags are removed; a
//    tag with no '>' after it never closes and is kept as text, with all
//    after it, and its start (a few bytes, up to its line's end) is put in
//    `*unclosedTag` when that is given. Then, with the
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
// `progress`, when given, steps once per twentieth of the first pass. The
// replacements of decoded references (see HandheldCharset.h) are added to
// `*replaced` when it is given.
std::size_t PrepareTextBytes(unsigned char* text, std::size_t n, const ConversionSettings& rules,
                             ProgressScope* progress, std::size_t* replaced = nullptr,
                             std::string* unclosedTag = nullptr);

}  // namespace folivo
