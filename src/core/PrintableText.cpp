#include <core/PrintableText.h>

#include "Utf8Sequence.h"

namespace folivo {
namespace {

void AppendHexEscape(std::string& shown, unsigned value)
{
    static const char kHex[] = "0123456789ABCDEF";
    shown += "\\x";
    shown += kHex[(value >> 4) & 0xF];
    shown += kHex[value & 0xF];
}

}  // namespace

bool AppendControlEscape(std::string& shown, char32_t c)
{
    if (c == '\r')
        shown += "\\r";
    else if (c == '\n')
        shown += "\\n";
    else if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        AppendHexEscape(shown, c);
    else
        return false;
    return true;
}

std::string PrintablePath(std::string_view bytes)
{
    std::string shown;
    shown.reserve(bytes.size());
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto end = p + bytes.size();
    while (p != end) {
        const auto start = p;
        const char32_t c = NextUtf8(p, end);
        if (c == kMalformedUtf8) {
            for (auto byte = start; byte != p; ++byte)
                AppendHexEscape(shown, *byte);
        } else if (!AppendControlEscape(shown, c)) {
            shown.append(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start));
        }
    }
    return shown;
}

}  // namespace folivo
