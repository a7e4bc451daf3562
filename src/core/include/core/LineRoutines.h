// Byte-wise line routines over NUL-terminated text, shared by the conversion
// job and the preview. LF is 0x0A, CR 0x0D. A line ends at CR LF, at a lone
// LF or at a lone CR, as the preview (TextLines) and the pattern engine's ^
// and $ see lines end, and a line break belongs to the line it ends.
#pragma once

#include <framework/CString.h>

constexpr bool IsLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// The start of the line holding `p`: the first byte after the last line
// break before it, or `begin` when there is none.
const char* LineStart(const char* begin, const char* p);

// The last byte before the line break of the line holding `s`: the first place
// from `s` on where the byte is NUL or the next byte is NUL, CR or LF, but no
// further than `last` when it is given. An `s` on a line break (an empty
// line) is its own result.
const char* LineEnd(const char* s, const char* last = nullptr);

// LineStart for positions that move forward through one text, as the matches
// of a scan do: each byte is looked at once over the whole scan, however long
// its lines. A position on an earlier line than the furthest one asked is
// found afresh.
class LineLocator {
public:
    explicit LineLocator(const char* begin) : m_begin(begin), m_start(begin), m_seen(begin) {}
    const char* LineStart(const char* p);

private:
    const char* m_begin;
    const char* m_start;  // the line start of the last position asked
    const char* m_seen;   // the furthest position asked: no line starts in (m_start, m_seen]
};

// The number of bytes equal to `v` in [begin, end), counting stops at a NUL.
int CountChar(const char* begin, const char* end, char v);

// Deletes every byte equal to `v` from `text` in place, keeping the order of
// the rest; the bytes freed at the end are zeroed.
void RemoveChar(char* text, char v);
// The same on a string, whose length follows.
void RemoveChar(CString& text, char v);
