#include "Utf8Text.h"

#include <cstdint>
#include <cstring>

namespace documents {

namespace {

bool Continues(const unsigned char* from, const unsigned char* end)
{
    for (const unsigned char* p = from; p < end; ++p)
        if ((*p & 0xC0) != 0x80)
            return false;
    return true;
}

}  // namespace

std::size_t Utf8Prefix(std::string_view bytes, bool last, bool& broken)
{
    const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = begin + bytes.size();
    for (const auto* p = begin; p < end;) {
        // Eight bytes at a time while they are ASCII, as most of a book is.
        std::uint64_t eight;
        if (end - p >= 8 && (std::memcpy(&eight, p, 8), (eight & 0x8080808080808080u) == 0)) {
            p += 8;
            continue;
        }
        const int length = Utf8Length(p, end);
        if (length > 0) {
            p += length;
            continue;
        }
        if (last || Utf8LeadLength(*p) <= end - p || !Continues(p + 1, end))
            broken = true;
        return static_cast<std::size_t>(p - begin);
    }
    return bytes.size();
}

bool ValidUtf8(std::string_view bytes)
{
    bool broken = false;
    Utf8Prefix(bytes, true, broken);
    return !broken;
}

}  // namespace documents
