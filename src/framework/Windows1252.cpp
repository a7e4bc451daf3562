#include <framework/Windows1252.h>

namespace folivo {

char16_t Cp1252ToUnicode(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t{byte};
}

}  // namespace folivo
