// Byte-wise line routines over NUL-terminated text, shared by the conversion
// job and the preview. LF is 0x0A, CR 0x0D.
#pragma once

#include <framework/CString.h>

// The start of the line holding `p`: the first byte after the line break
// before it. Any result within two bytes of `begin` becomes `begin`, and with
// lone-CR line ends the result lies one byte after the true line start.
const char* LineStart(const char* begin, const char* p);

// The last byte before the line break of the line holding `s`: the first place
// from `s` on where the byte is NUL or the next byte is NUL, LF, or the start
// of CR LF. A lone CR does not end a line.
const char* LineEnd(const char* s);

// The number of bytes equal to `v` in [begin, end), counting stops at a NUL.
int CountChar(const char* begin, const char* end, char v);

// Deletes every byte equal to `v` from `text` in place, keeping the order of
// the rest; the bytes freed at the end are zeroed.
void RemoveChar(char* text, char v);
// The same on a string, whose length follows.
void RemoveChar(CString& text, char v);
