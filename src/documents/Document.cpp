#include <documents/Document.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace documents {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && StartsWithNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

bool IsHtml(std::string_view fileName, std::string_view firstBytes)
{
    for (const std::string_view suffix : {".htm", ".html", ".xhtml", ".shtml"})
        if (EndsWithNoCase(fileName, suffix))
            return true;
    if (firstBytes.starts_with("\xEF\xBB\xBF"))
        firstBytes.remove_prefix(3);
    const std::size_t start = firstBytes.find_first_not_of(" \t\r\n\f");
    if (start == std::string_view::npos)
        return false;
    firstBytes.remove_prefix(start);
    return StartsWithNoCase(firstBytes, "<!DOCTYPE html") || StartsWithNoCase(firstBytes, "<html");
}

}  // namespace documents
