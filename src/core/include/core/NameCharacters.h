// Names read from a file, such as a database's title and its bookmark names,
// as the characters a person should be shown.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace folivo {

// The characters `bytes` stand for: those of well-formed UTF-8 as it is,
// those of any other bytes as Windows-1252, the hand-held's set, where the
// five bytes the code page leaves unassigned stand for the C1 controls of
// their value. Text the hand-held wrote and text a person typed elsewhere
// both read right; no byte is lost.
std::u32string NameCharacters(std::string_view bytes);

// A name a person typed, in UTF-8 or as 8-bit bytes, in the hand-held's
// character set as a conversion writes a title: each character the set lacks
// gets a plain form or '?', and is counted in `*replaced` when given.
std::string HandheldName(std::string_view typed, std::size_t* replaced = nullptr);

// How many bytes of `name` to keep when it may hold at most `limit`: all of
// it when it fits, else `limit` less the first bytes of a character they
// would cut in two, as NameCharacters reads the name.
std::size_t NameCut(std::string_view name, std::size_t limit);

}  // namespace folivo
