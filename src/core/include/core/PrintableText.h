// Text for a person at a UTF-8 terminal, in a form that cannot steer it.
#pragma once

#include <string>
#include <string_view>

namespace folivo {

// Appends the escape of a control character, C0, DEL or C1 (none of which a
// terminal shows as a character): \r, \n or \xHH. False, appending nothing,
// for any other character.
bool AppendControlEscape(std::string& shown, char32_t c);

// Bytes the system gave, such as a path or a message naming one: its
// well-formed UTF-8 characters as they are, its control characters escaped
// as AppendControlEscape does, and each byte of a malformed sequence as \xHH.
std::string PrintablePath(std::string_view bytes);

}  // namespace folivo
