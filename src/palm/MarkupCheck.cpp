// What readers take a book's text for. Three readers guess: KOReader and
// CoolReader score the first text record of a PalmDoc book for HTML tags,
// FBReader looks at the first bytes of the text, and calibre's text input
// counts Markdown and Textile marks over the whole text. Each guess is
// reproduced here as closely as bytes allow.
#include <cctype>
#include <string_view>

#include "DatabaseChecks.h"

namespace palm::check {

namespace {

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view lower)
{
    if (text.size() - at < lower.size())
        return false;
    for (std::size_t i = 0; i < lower.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != lower[i])
            return false;
    return true;
}

// KOReader and CoolReader (crengine): over the first text record, but for
// its last ten bytes, each '<' followed by a known tag name scores, and each
// '\' followed by a PML code letter counts. The record is read as HTML when
// either count is high enough and the tags do not lose to the PML codes.
bool CrengineTakesForHtml(std::string_view record)
{
    static constexpr std::string_view kPmlCodes = "pXxCcriuovtnsblaUBSmqQI";
    struct Tag {
        std::string_view name;
        int score;
    };
    static constexpr Tag kTags[] = {{"html", 100}, {"head", 50}, {"body", 50}, {"h1", 5},  {"h2", 5},   {"h3", 5},
                                    {"h4", 5},     {"p>", 10},   {"b>", 10},   {"i>", 10}, {"li>", 10}, {"ul>", 10}};
    int pml = 0;
    int html = 0;
    for (std::size_t i = 0; i + 10 < record.size(); ++i) {
        if (record[i] == '\\' && kPmlCodes.find(record[i + 1]) != std::string_view::npos)
            ++pml;
        else if (record[i] == '<')
            for (const Tag& tag : kTags)
                if (StartsWithNoCase(record, i + 1, tag.name))
                    html += tag.score;
    }
    return (pml >= 5 || html >= 10) && pml <= html;
}

// FBReader: the first six bytes after leading white space, in any case.
bool FbreaderTakesForHtml(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    return StartsWithNoCase(text, i, "<html>");
}

bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || (c >= '\x1C' && c <= '\x1F');
}

bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// Matches of `X\[.*?\](\[|\()` where X is `!` (images) or any byte but `!`
// (links), never overlapping: the bracketed part stays on one line.
std::size_t CountBracketLinks(std::string_view text, bool images)
{
    std::size_t count = 0;
    for (std::size_t p = 0; p + 1 < text.size();) {
        const bool lead = images ? text[p] == '!' : text[p] != '!';
        if (!lead || text[p + 1] != '[') {
            ++p;
            continue;
        }
        std::size_t q = p + 2;
        while (q + 1 < text.size() && !IsLineEnd(text[q]) &&
               !(text[q] == ']' && (text[q + 1] == '[' || text[q + 1] == '(')))
            ++q;
        if (q + 1 < text.size() && text[q] == ']') {
            ++count;
            p = q + 2;
        } else {
            ++p;
        }
    }
    return count;
}

// Matches of `(?<=!)\S+(?=!)`: a run of non-space bytes between two '!'.
std::size_t CountBangSpans(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 1; i < text.size();) {
        if (text[i - 1] != '!' || IsSpace(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !IsSpace(text[end]))
            ++end;
        std::size_t bang = end;
        while (bang > i + 1 && text[bang - 1] != '!')
            --bang;
        // bang - 1 is the last '!' after the first byte of the run, if any.
        if (bang > i + 1) {
            ++count;
            i = bang - 1;
        } else {
            ++i;
        }
    }
    return count;
}

// Matches of `"[^"]*":\S+`.
std::size_t CountQuotedLinks(std::string_view text)
{
    std::size_t count = 0;
    std::size_t open = text.find('"');
    while (open != std::string_view::npos) {
        const std::size_t close = text.find('"', open + 1);
        if (close == std::string_view::npos)
            break;
        if (close + 2 < text.size() && text[close + 1] == ':' && !IsSpace(text[close + 2])) {
            ++count;
            std::size_t end = close + 2;
            while (end < text.size() && !IsSpace(text[end]))
                ++end;
            open = text.find('"', end);
        } else {
            open = close;
        }
    }
    return count;
}

bool AllOf(std::string_view line, char c)
{
    return !line.empty() && line.find_first_not_of(c) == std::string_view::npos;
}

// calibre's text input (which its PDB input hands the text to) picks Markdown
// or Textile when more than five marks of one kind are found, and then formats
// the text by that markup. Lines end at LF, CR LF or CR, as calibre
// normalises them first.
std::string_view CalibreMarkup(std::string_view text)
{
    // The start of the text counts as one link: calibre's link pattern
    // begins with an alternative that matches there.
    std::size_t markdown = 1 + CountBracketLinks(text, true) + CountBracketLinks(text, false);
    std::size_t textile = CountBangSpans(text) + CountQuotedLinks(text);
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = start;
        while (end < text.size() && !IsLineEnd(text[end]))
            ++end;
        const std::string_view line = text.substr(start, end - start);
        markdown += line.starts_with('#') + AllOf(line, '=') + AllOf(line, '-');
        const bool heading = line.size() >= 3 && line[0] == 'h' && line[1] >= '1' && line[1] <= '6' && line[2] == '.';
        textile += heading + line.starts_with("bq.");
        for (std::string_view paragraph : {"p. ", "p<. ", "p<>. ", "p=. ", "p>. "})
            textile += line.starts_with(paragraph);
        if (end == text.size())
            break;
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    if (markdown <= 5 && textile <= 5)
        return {};
    return markdown > textile ? "Markdown" : "Textile";
}

}  // namespace

void CheckMarkup(const TextSample& sample, FindingList& findings)
{
    if (!sample.firstRecord.empty() && CrengineTakesForHtml(sample.firstRecord))
        findings.ShowsWrongly(sample.at, "KOReader and CoolReader",
                              "the first text record holds HTML tags, so the book is laid out as HTML");
    if (sample.fbreaderSniffs && FbreaderTakesForHtml(sample.text))
        findings.ShowsWrongly(sample.at, "FBReader", "the text starts with <html>, so it is read as HTML");
    if (const std::string_view markup = CalibreMarkup(sample.text); !markup.empty())
        findings.ShowsWrongly(sample.at, "calibre",
                              "the text holds enough " + std::string(markup) + " marks that calibre formats it as " +
                                  std::string(markup));
}

}  // namespace palm::check
