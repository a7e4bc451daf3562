// Whether an HTML book laid out as text has the words of its plain-text
// edition, in the same order: both are split into paragraphs at empty lines
// and into words at white space and dashes, ignoring case, accents,
// punctuation, quotes and the underscores of italics (words run together
// stay one), then aligned paragraph by paragraph and, where paragraphs
// differ, word by word.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace agreement {

// Where in the text edition a difference lies: before the line that starts
// the book itself ("*** START OF"), in it, or after the line that ends it.
enum class Region { Header, Body, Footer };

const char* RegionName(Region region);

// One run of differences between two stretches of words that agree.
struct Hunk {
    Region region;
    std::size_t textParagraph;  // 0-based, of the non-empty paragraphs; where the run begins
    std::size_t htmlParagraph;
    std::vector<std::string> lost;   // the text edition's words the HTML lacks
    std::vector<std::string> added;  // the HTML's words the text edition lacks
};

struct Count {
    std::size_t paragraphs = 0;  // that hold a word
    std::size_t whole = 0;       // that the other side has as one paragraph, the same words
    std::size_t agreeing = 0;    // with every word matched and nothing inserted between them
};

struct Agreement {
    Count text, html;
    Count textBody;  // the text edition's paragraphs of the Body region
    std::vector<Hunk> hunks;
};

// The words of UTF-8 text, or of Windows-1252 when it is not valid UTF-8,
// lower case; paragraphs end at lines of white space.
std::vector<std::vector<std::string>> ParagraphWords(std::string_view text);

// Compares a text edition (UTF-8 or Windows-1252) with the laid-out HTML (UTF-8).
Agreement Compare(std::string_view textEdition, std::string_view laidOut);

// The matched pairs (i, j) of a longest common subsequence of `a` and `b`,
// in order, in memory linear in their lengths.
std::vector<std::pair<std::size_t, std::size_t>> CommonSubsequence(const std::vector<int>& a,
                                                                   const std::vector<int>& b);

// Each HTML book of a folder ("NAME-h.htm") with each of its text editions
// ("NAME.txt", "NAME-*.txt"), sorted.
struct Editions {
    std::filesystem::path html, text;
};
std::vector<Editions> EditionPairs(const std::filesystem::path& folder);

// The HTML book laid out as the converter lays it out; throws when it cannot.
std::string LaidOut(const std::filesystem::path& html);

}  // namespace agreement
