// Names read from a file, such as a database's title and its bookmark names,
// as the characters a person should be shown.
#pragma once

#include <string>
#include <string_view>

namespace folivo {

// The characters `bytes` stand for: those of well-formed UTF-8 as it is,
// those of any other bytes as Windows-1252, the hand-held's set, where the
// five bytes the code page leaves unassigned stand for the C1 controls of
// their value. Text the hand-held wrote and text a person typed elsewhere
// both read right; no byte is lost.
std::u32string NameCharacters(std::string_view bytes);

}  // namespace folivo
