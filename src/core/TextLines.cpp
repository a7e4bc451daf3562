#include <core/TextLines.h>

#include <core/LineRoutines.h>

#include <algorithm>

namespace folivo {

TextLines::TextLines(std::string_view text)
{
    m_starts.push_back(0);
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 0; i < length; ++i) {
        const char c = text[static_cast<std::size_t>(i)];
        if (!IsLineBreak(c))
            continue;
        m_ends.push_back(i);
        if (c == '\r' && i + 1 < length && text[static_cast<std::size_t>(i) + 1] == '\n')
            ++i;
        m_starts.push_back(i + 1);
    }
    m_ends.push_back(length);
}

int TextLines::LineOf(std::int32_t position) const
{
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), position);
    return after == m_starts.begin() ? 0 : static_cast<int>(after - m_starts.begin()) - 1;
}

}  // namespace folivo
