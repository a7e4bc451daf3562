#include "LineList.h"

namespace folivo {

std::string LineList(const std::vector<std::size_t>& lines)
{
    constexpr std::size_t kShown = 5;
    std::string list = lines.size() == 1 ? "line " : "lines ";
    const std::size_t shown = lines.size() > kShown + 1 ? kShown : lines.size();
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0)
            list += i + 1 == lines.size() ? " and " : ", ";
        list += std::to_string(lines[i]);
    }
    if (shown < lines.size())
        list += " and " + std::to_string(lines.size() - shown) + " more";
    return list;
}

}  // namespace folivo
