#include "BookmarkListing.h"

#include "Arguments.h"
#include "Usage.h"

#include <core/NameCharacters.h>

#include <algorithm>

namespace folivo::cli {

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
        return (c | 0x20) - 'a' + 10;
    return -1;
}

// Every byte of `name` that is no printable ASCII character as an escape.
std::string EscapedBytes(std::string_view name)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    for (const char byte : name) {
        const auto c = static_cast<unsigned char>(byte);
        if (c >= 0x80) {
            shown += "\\x";
            shown += kHex[c >> 4];
            shown += kHex[c & 0xF];
        } else {
            shown += Printable(std::string_view(&byte, 1), true);
        }
    }
    return shown;
}

std::string ListedName(std::string_view name)
{
    const std::string shown = PrintableName(name, true);
    std::string back;
    if (!ReadListedName(shown, back) && back == name)
        return shown;
    return EscapedBytes(name);
}

}  // namespace

std::string BookmarkListing(const std::vector<palm::StoredBookmark>& bookmarks)
{
    std::string lines;
    for (const palm::StoredBookmark& bookmark : bookmarks)
        lines += std::to_string(bookmark.offset) + '\t' + ListedName(bookmark.name) + '\n';
    return lines;
}

Error ReadListedName(std::string_view shown, std::string& name, std::size_t* replaced)
{
    // Escapes are ASCII, which the conversion leaves as it is.
    const std::string text = HandheldName(shown, replaced);
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        const char kind = i + 1 < text.size() ? text[i + 1] : '\0';
        if (kind == '\\' || kind == 'r' || kind == 'n') {
            bytes += kind == 'r' ? '\r' : kind == 'n' ? '\n' : '\\';
            ++i;
        } else if (kind == 'x' && i + 3 < text.size() && HexDigit(text[i + 2]) >= 0 && HexDigit(text[i + 3]) >= 0) {
            bytes += static_cast<char>(HexDigit(text[i + 2]) << 4 | HexDigit(text[i + 3]));
            i += 3;
        } else {
            return Error::Failure("a backslash that starts none of \\\\, \\r, \\n or \\xHH");
        }
    }
    if (bytes.find('\0') != std::string::npos)
        return Error::Failure("a name cannot hold a NUL byte");
    name = std::move(bytes);
    return {};
}

Error ReadBookmarkListing(std::string_view text, std::uint32_t textLength, std::vector<palm::StoredBookmark>& bookmarks,
                          std::size_t* replaced)
{
    std::vector<palm::StoredBookmark> read;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const auto fail = [number](const std::string& problem) {
            return Error::Failure("line " + std::to_string(number) + ": " + problem);
        };
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            return fail("no tab between the position and the name");
        long long offset = 0;
        if (!ParseDecimal(line.substr(0, tab), 0, UINT32_MAX, offset))
            return fail("'" + std::string(line.substr(0, tab)) + "' is no position");
        if (offset > textLength)
            return fail("position " + std::to_string(offset) + " is past the end of the text (" +
                        std::to_string(textLength) + " bytes)");
        palm::StoredBookmark bookmark{{}, static_cast<std::uint32_t>(offset)};
        if (Error error = ReadListedName(line.substr(tab + 1), bookmark.name, replaced))
            return fail(error.Message());
        read.push_back(std::move(bookmark));
    }
    bookmarks = std::move(read);
    return {};
}

}  // namespace folivo::cli
