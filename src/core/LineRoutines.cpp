#include <core/LineRoutines.h>

#include <algorithm>
#include <cstring>

const char* LineStart(const char* begin, const char* p)
{
    // The LF of a CR LF ends the line its CR ends.
    if (p > begin && p[0] == '\n' && p[-1] == '\r')
        --p;
    while (p > begin && !IsLineBreak(p[-1]))
        --p;
    return p;
}

const char* LineEnd(const char* s, const char* last)
{
    while (s != last && s[0] != '\0' && !IsLineBreak(s[0]) && s[1] != '\0' && !IsLineBreak(s[1]))
        ++s;
    return s;
}

const char* LineLocator::LineStart(const char* p)
{
    if (p < m_start) {
        m_start = ::LineStart(m_begin, p);
        m_seen = p;
    } else if (p > m_seen) {
        // Only the bytes from the furthest position on can start a new line.
        const char* start = ::LineStart(m_seen, p);
        if (start != m_seen || (m_seen > m_begin && IsLineBreak(m_seen[-1])))
            m_start = start;
        m_seen = p;
    }
    return m_start;
}

int CountChar(const char* begin, const char* end, char v)
{
    int count = 0;
    for (; begin < end && *begin != '\0'; ++begin) {
        if (*begin == v)
            ++count;
    }
    return count;
}

void RemoveChar(char* text, char v)
{
    std::size_t length = std::strlen(text);
    char* end = std::remove(text, text + length, v);
    std::fill(end, text + length, '\0');
}

void RemoveChar(CString& text, char v)
{
    RemoveChar(text.data(), v);
    text.resize(std::strlen(text.c_str()));
}
