#include <core/LineRoutines.h>

#include <algorithm>
#include <cstring>

const char* LineStart(const char* begin, const char* p)
{
    if (p - begin <= 2)
        return begin;
    while (p - 2 > begin) {
        if (p[-1] == '\n' || p[-2] == '\r')
            break;
        --p;
    }
    return p - 2 > begin ? p : begin;
}

const char* LineEnd(const char* s)
{
    while (s[0] != '\0' && s[1] != '\0' && s[1] != '\n' && !(s[1] == '\r' && s[2] == '\n'))
        ++s;
    return s;
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
