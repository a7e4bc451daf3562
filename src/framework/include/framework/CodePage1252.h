// Windows-1252, the code page of the program's 8-bit text: what each byte
// stands for, and back.
#pragma once

namespace folivo {

// The character a byte stands for. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters
// of the same number, so every byte survives a round trip.
char16_t Cp1252ToUnicode(unsigned char byte);

// True, with `byte` set, when the code page has the character.
bool UnicodeToCp1252(char16_t c, unsigned char& byte);

}  // namespace folivo
