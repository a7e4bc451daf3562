#include "BookmarkFile.h"

namespace palm {

namespace {

bool ParseLine(std::string_view line, StoredBookmark& bookmark)
{
    std::size_t i = 0;
    std::uint64_t offset = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        offset = offset * 10 + static_cast<unsigned>(line[i] - '0');
        if (offset > 0x7FFFFFFF)
            return false;  // positions are signed 32-bit
        ++i;
    }
    if (i == 0 || i == line.size() || line[i] != ' ')
        return false;
    bookmark.offset = static_cast<std::uint32_t>(offset);
    bookmark.name = std::string(line.substr(i + 1));
    return true;
}

}  // namespace

BookmarkLines ParseBookmarkLines(std::string_view text)
{
    BookmarkLines result;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        StoredBookmark bookmark;
        if (ParseLine(line, bookmark))
            result.entries.push_back(std::move(bookmark));
        else
            ++result.malformed;
    }
    return result;
}

}  // namespace palm
