// The lines of a prepared text as a reader sees them: a line ends at CR LF,
// at a lone LF or at a lone CR, so texts with any of the three kinds of line
// break split where they visibly break. Lines are numbered from 0 and found
// by their byte offsets, which are the positions bookmarks hold.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace folivo {

class TextLines {
public:
    explicit TextLines(std::string_view text = {});

    // At least 1: an empty text is one empty line, and a text that ends with
    // a line break ends with an empty line after it.
    int Count() const { return static_cast<int>(m_starts.size()); }
    // The offset of the line's first byte.
    std::int32_t Start(int line) const { return m_starts[static_cast<std::size_t>(line)]; }
    // The line's bytes without its line break.
    std::int32_t Length(int line) const { return m_ends[static_cast<std::size_t>(line)] - Start(line); }
    // The line holding the byte at `position`; a line break belongs to the
    // line it ends. Positions before the text give line 0, positions past its
    // end the last line.
    int LineOf(std::int32_t position) const;

private:
    std::vector<std::int32_t> m_starts;
    std::vector<std::int32_t> m_ends;
};

}  // namespace folivo
