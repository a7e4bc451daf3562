// A bookmark as a database stores it: a name and an offset into the text.
#pragma once

#include <cstdint>
#include <string>

namespace palm {

struct StoredBookmark {
    std::string name;
    std::uint32_t offset = 0;

    bool operator==(const StoredBookmark&) const = default;
};

}  // namespace palm
