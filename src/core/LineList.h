// Line numbers as a person reads them in a message.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace folivo {

// "line 4", "lines 2, 3 and 9", "lines 1, 2, 3, 4, 5 and 7 more".
std::string LineList(const std::vector<std::size_t>& lines);

}  // namespace folivo
