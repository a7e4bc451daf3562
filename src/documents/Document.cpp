#include <documents/Document.h>

#include "Epub.h"
#include "HtmlLayout.h"
#include "PalmDatabase.h"

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

bool IsEpub(std::string_view fileName, std::string_view bytes)
{
    // Else the first entry, stored: "mimetype" holding the media type.
    constexpr std::string_view kMimetype = "application/epub+zip";
    return EndsWithNoCase(fileName, ".epub") ||
           (bytes.starts_with("PK\x03\x04") && bytes.size() >= 58 && bytes.substr(30, 8) == "mimetype" &&
            bytes.substr(38, kMimetype.size()) == kMimetype);
}

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

bool IsDatabase(std::string_view fileName, std::string_view firstBytes)
{
    return EndsWithNoCase(fileName, ".pdb") || EndsWithNoCase(fileName, ".prc") || HasEbookHeader(firstBytes);
}

std::string OwnTitle(std::string_view fileName, std::string_view bytes)
{
    if (IsDatabase(fileName, bytes))
        return DatabaseTitle(bytes);
    return IsEpub(fileName, bytes) ? EpubTitle(bytes) : std::string();
}

bool MayHaveOwnTitle(std::string_view fileName, std::string_view firstBytes)
{
    return IsDatabase(fileName, firstBytes) || IsEpub(fileName, firstBytes);
}

std::string OpenDocument(std::string_view fileName, std::string&& bytes, const OpenOptions& options, Document& document)
{
    document = Document{};
    if (IsDatabase(fileName, bytes)) {
        std::string problem = ReadPalmDatabase(bytes, options, document);
        std::string().swap(bytes);
        return problem;
    }
    if (IsEpub(fileName, bytes)) {
        std::string problem = ReadEpub(bytes, options, document);
        std::string().swap(bytes);
        return problem;
    }
    if (!options.layOutHtml || !IsHtml(fileName, std::string_view(bytes).substr(0, 512))) {
        document.text = std::move(bytes);
        return {};
    }
    TextLayout layout(options.maxText);
    if (std::string problem = layout.Add(bytes, false, {}); !problem.empty())
        return "the HTML document cannot be laid out: " + problem;
    std::string().swap(bytes);
    document.text = layout.TakeText();
    document.marks = std::move(layout.Headings());
    document.laidOut = true;
    return {};
}

}  // namespace documents
